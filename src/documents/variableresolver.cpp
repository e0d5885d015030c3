#include "documents/variableresolver.h"

#include "base/currency.h"
#include "base/datetimeformat.h"
#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "datapacket/packetfield.h"
#include "documents/variablecontext.h"

#include <algorithm>
#include <stdexcept>

namespace tally::documents {

namespace {

// Settlement amounts print with two decimals and every integer digit: a
// ten-digit limit would misprint sums from a hundred million on (123456789.12
// as 123,456,789.10), and the fixed-point value holds at most 19 digits.
constexpr int kAmountDecimals = 2;
constexpr int kAmountPrecision = 19;

const datapacket::PacketField &headerField(const VariableContext &ctx, std::string_view name)
{
    return ctx.header.fieldByName(name);
}

// Adds and subtracts header amounts exactly in fixed point: "A+B-C".
Currency sumOf(const VariableContext &ctx, std::string_view expression)
{
    Currency total;
    bool negative = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= expression.size(); ++i) {
        if (i < expression.size() && expression[i] != '+' && expression[i] != '-')
            continue;
        const std::string_view name = expression.substr(start, i - start);
        if (name.empty())
            throw std::logic_error("empty term in amount sum \"" + std::string(expression) + "\"");
        const Currency value = headerField(ctx, name).asCurrency();
        total = negative ? total - value : total + value;
        if (i < expression.size())
            negative = expression[i] == '-';
        start = i + 1;
    }
    return total;
}

std::string amountText(const VariableContext &ctx, std::string_view expression)
{
    return formatCurrency(sumOf(ctx, expression), ctx.settings, kAmountDecimals, kAmountPrecision);
}

std::string modeText(const VariableContext &ctx, const VariableRule &rule)
{
    if (!rule.modes)
        throw std::logic_error("mode variable \"" + std::string(rule.name) + "\" has no table");
    const ModeTable &table = *rule.modes;
    const datapacket::PacketField &field = headerField(ctx, rule.source);
    std::int64_t code = -1;
    if (table.lenient) {
        if (const auto parsed = parseInt32(field.asString()))
            code = *parsed;
    } else {
        code = field.asInteger();
    }
    const auto it = std::find_if(table.entries.begin(), table.entries.end(),
                                 [code](const ModeEntry &e) { return e.code == code; });
    return std::string(it != table.entries.end() ? it->text : table.otherText);
}

// The selector "1" or any text holding 月末 settles by month-end sales.
bool settlesAtMonthEnd(const VariableContext &ctx, std::string_view selector)
{
    const std::string value = headerField(ctx, selector).asString();
    return value == "1" || value.find("月末") != std::string::npos;
}

// The named header field when the table has it and its text is not empty.
const datapacket::PacketField *presentField(const VariableContext &ctx, std::string_view name)
{
    const datapacket::PacketField *field = ctx.header.findField(name);
    if (!field || field->asString().empty())
        return nullptr;
    return field;
}

} // namespace

std::string VariableResolver::evaluate(const VariableRule &rule, VariableContext &ctx)
{
    switch (rule.rule) {
    case ValueRule::Title:
        // The default stays in the title, so later pages read it as set.
        if (ctx.title.empty() && ctx.defaultTitle)
            ctx.title = std::string(*ctx.defaultTitle);
        return ctx.title;
    case ValueRule::TitleAsReceived:
        return ctx.title;
    case ValueRule::PageCountFirst:
        return "共" + std::to_string(ctx.pageCount) + "页第" + std::to_string(ctx.pageIndex) + "页";
    case ValueRule::PageIndexFirst:
        return "第" + std::to_string(ctx.pageIndex) + "页共" + std::to_string(ctx.pageCount) + "页";
    case ValueRule::SixDigits:
        return formatZeroPadded(headerField(ctx, rule.source).asInteger(), 6);
    case ValueRule::Integer:
        return std::to_string(headerField(ctx, rule.source).asInteger());
    case ValueRule::Text:
        return headerField(ctx, rule.source).asString();
    case ValueRule::PrintTime:
        return dateTimeToString(ctx.clock(), ctx.settings);
    case ValueRule::PrintDate:
        return dateToString(ctx.clock(), ctx.settings);
    case ValueRule::Empty:
        return {};
    case ValueRule::Validity:
        return headerField(ctx, rule.source).isNull() ? "未生效" : "有效";
    case ValueRule::Mode:
        return modeText(ctx, rule);
    case ValueRule::CurrencySum:
        return amountText(ctx, rule.source);
    case ValueRule::SettlementSales:
        return amountText(ctx,
                          settlesAtMonthEnd(ctx, rule.selector) ? rule.source : rule.alternative);
    case ValueRule::PrefixedCurrency:
        if (const datapacket::PacketField *field = presentField(ctx, rule.source))
            return std::string(rule.prefix) + formatCurrency(field->asCurrency(), ctx.settings,
                                                             kAmountDecimals, kAmountPrecision);
        return {};
    case ValueRule::PrefixedText:
        if (const datapacket::PacketField *field = presentField(ctx, rule.source))
            return std::string(rule.prefix) + field->asString();
        return {};
    }
    throw std::logic_error("unknown variable rule");
}

std::string VariableResolver::resolve(std::span<const VariableGroup> groups, std::string text,
                                      VariableContext &ctx)
{
    for (const VariableGroup &group : groups) {
        const auto it = std::find_if(group.rules.begin(), group.rules.end(),
                                     [&text](const VariableRule &r) { return r.name == text; });
        if (it != group.rules.end())
            text = evaluate(*it, ctx);
    }
    return text;
}

} // namespace tally::documents
