#pragma once

#include "documents/variablerule.h"

#include <span>
#include <string>

namespace tally::documents {

struct VariableContext;

// Applies variable groups to a text: each group in turn looks for the first
// rule whose name equals the text as the earlier groups left it and replaces
// the text by that rule's value. A text no rule names comes back unchanged.
// Header reads that fail (a missing field, a text that is not a number)
// throw FieldError; nothing is caught here.
class VariableResolver
{
public:
    // Resolves `text` through `groups` in order.
    static std::string resolve(std::span<const VariableGroup> groups, std::string text,
                               VariableContext &context);

    // The value of one rule, whatever its name.
    static std::string evaluate(const VariableRule &rule, VariableContext &context);
};

} // namespace tally::documents
