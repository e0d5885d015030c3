#pragma once

#include "layout/tcustombill.h"

#include <memory>
#include <string_view>

namespace tally::layout {

// The bill component the document forms own: a TCustomBill created with the
// defaults or from one of the built-in layouts.
//
// Typical use by a form: bill = TBill::FromBuiltin("TPrintDHD");
// bill->SetDataSet(&items); bill->SetRowCountBody(min(records, cap));
// bill->SetOnGetFooterText(...); then Print(false) or Preview().
class TBill final : public TCustomBill
{
public:
    TBill() = default;

    // A new bill holding the named built-in layout (ASCII case ignored) with
    // the page settings stored in it; the caller owns it. nullptr when no
    // built-in layout has that name.
    static std::unique_ptr<TBill> FromBuiltin(std::string_view name);

    // Replaces the layout by the named built-in layout; false (and nothing
    // changed) when there is none.
    bool LoadBuiltin(std::string_view name);
};

} // namespace tally::layout
