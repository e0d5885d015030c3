#pragma once

namespace tally::printing {

// The choices of the print dialog, prepared by the print routine and
// changed by the user.
struct PrintDialogOptions
{
    int minPage = 1;
    int maxPage = 1;
    int fromPage = 1;
    int toPage = 1;
    int copies = 1;
    bool collate = true;
    bool collateAvailable = true;
    bool pageRangeEnabled = false; // offered only for more than one page
};

// The system print dialog, injectable so tests can answer it.
class PrintDialog
{
public:
    virtual ~PrintDialog() = default;
    // Shows the dialog; false when the user cancels. On true, options hold
    // the user's page range, copies and collation.
    virtual bool execute(PrintDialogOptions &options) = 0;
};

} // namespace tally::printing
