#pragma once

// Internal to the documents library: the field and variable tables that
// documentdef.cpp puts together into the ten document definitions.

#include "documents/documentdef.h"

#include <array>
#include <cstddef>
#include <span>

namespace tally::documents::tables {

// The elements of `a` followed by those of `b`, at compile time.
template <typename T, std::size_t A, std::size_t B>
constexpr std::array<T, A + B> join(const std::array<T, A> &a, const std::array<T, B> &b)
{
    std::array<T, A + B> out{};
    for (std::size_t i = 0; i < A; ++i)
        out[i] = a[i];
    for (std::size_t i = 0; i < B; ++i)
        out[A + i] = b[i];
    return out;
}

// Declared fields.
extern const std::span<const FieldSpec> orderHeader;
extern const std::span<const FieldSpec> orderItems;
extern const std::span<const FieldSpec> orderLandscapeItems;
extern const std::span<const FieldSpec> receiptHeader;
extern const std::span<const FieldSpec> settlementListHeader;
extern const std::span<const FieldSpec> settlementListItems;
extern const std::span<const FieldSpec> settlementNoticeHeader;
extern const std::span<const FieldSpec> settlementNoticeItems;
extern const std::span<const FieldSpec> purchasePriceItems;
extern const std::span<const FieldSpec> costPriceItems;
extern const std::span<const FieldSpec> returnItems;
extern const std::span<const FieldSpec> returnQuantityItems;

// Variable groups of the footer callbacks.
extern const std::span<const VariableGroup> orderVariables;
extern const std::span<const VariableGroup> receiptVariables;
extern const std::span<const VariableGroup> settlementListVariables;
extern const std::span<const VariableGroup> settlementNoticeVariables;
extern const std::span<const VariableGroup> dealerSettlementVariables;
extern const std::span<const VariableGroup> purchasePriceVariables;
extern const std::span<const VariableGroup> costPriceVariables;
extern const std::span<const VariableGroup> returnVariables;
extern const std::span<const VariableGroup> returnQuantityVariables;

// Cell callbacks: the price change notes put the reason into "YY" cells; the
// return notes' callback is connected and changes nothing.
extern const std::span<const VariableGroup> priceChangeCells;

} // namespace tally::documents::tables
