#pragma once

#include "printing/drawingframe.h"

#include <functional>
#include <memory>
#include <string>

namespace tally::printing {

class IPrintable;
class PrintDialog;
class Printer;
class SettingsStore;
class UserMessages;

// Everything a bill and the print routines reach outside themselves: the
// printer, the dialogs, the settings store and the user interface. Nothing
// is owned; the pointed-to objects must outlive every bill that uses them.
// Tests fill it with fakes; the Qt adapters provide the real ones.
struct PrintContext
{
    // The current printer; needed for pagination and printing.
    Printer *printer = nullptr;
    // Creates the print dialog for one print run; needed by PrintWithDialog.
    std::function<std::unique_ptr<PrintDialog>()> makePrintDialog;
    // Where page setups are remembered; without one nothing is loaded and
    // saving fails.
    SettingsStore *settings = nullptr;
    // Information boxes; without one messages are dropped.
    UserMessages *messages = nullptr;
    // Lets the user interface handle pending work between pages.
    std::function<void()> processEvents;
    // Opens the preview window for a bill (maximized, modal).
    std::function<void(IPrintable &, bool maximized, bool modal)> showPreview;
    // File name of the running program without folder and extension, used
    // in settings keys; empty means the running process's own.
    std::string executableName;
    // True inside a form designer: page setups are then not saved.
    bool designTime = false;
    // Logical pixels per inch of the screen the layouts were made for.
    int screenPpi = kDefaultScreenPpi;
};

} // namespace tally::printing
