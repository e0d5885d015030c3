#include "layout/tbill.h"

#include "layout/builtin/builtinlayouts.h"

namespace tally::layout {

std::unique_ptr<TBill> TBill::FromBuiltin(std::string_view name)
{
    auto bill = std::make_unique<TBill>();
    if (!bill->LoadBuiltin(name))
        return nullptr;
    return bill;
}

bool TBill::LoadBuiltin(std::string_view name)
{
    const auto bytes = builtin::builtinLayoutStream(name);
    if (bytes.empty())
        return false;
    // Through the stream reader, as any stored layout is loaded.
    LoadFromStream(bytes);
    return true;
}

} // namespace tally::layout
