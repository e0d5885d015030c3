// Every variable item of a document's built-in layout gets a text from the
// document, so no variable name ever reaches the paper.
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "formfixtures.h"
#include "layout/builtin/builtinlayouts.h"
#include "layout/tbilllayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::documents {
namespace {

// Some layouts keep their Chinese labels as variable items that no callback
// knows, so they print as stored; variable names are plain ASCII.
bool isVariableName(const std::string &text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return !text.empty();
}

class LayoutVariables : public ::testing::TestWithParam<const DocumentDef *>
{
};

TEST_P(LayoutVariables, AreAllAnswered)
{
    const DocumentDef &def = *GetParam();
    const auto layout = builtin::loadBuiltinLayout(def.layoutName);
    ASSERT_NE(layout, nullptr) << def.layoutName;

    const test::HeaderFixture header = test::headerFixture(def.djlx);
    DocumentForm form(def,
                      {"标题", "0", test::packet(header.columns, {header.row}),
                       test::packet(test::itemColumns(def.djlx), test::itemRows(def.djlx, 3))},
                      FormatSettings::chinesePrc(), test::fixedNow);
    ASSERT_TRUE(form.load()) << form.loadError();

    std::vector<std::string> unanswered;
    int variables = 0;
    for (const auto *items : {&layout->TopFooters(), &layout->BottomFooters()})
        for (const auto &item : *items) {
            if (item.FixedText() || !isVariableName(item.Text()))
                continue;
            ++variables;
            if (form.footerText(1, 1, item.Text()) == item.Text())
                unanswered.push_back(item.Text());
        }
    EXPECT_GT(variables, 0);
    EXPECT_EQ(unanswered, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, LayoutVariables, ::testing::ValuesIn([] {
                             std::vector<const DocumentDef *> defs;
                             for (const DocumentDef &d : documentDefs())
                                 defs.push_back(&d);
                             return defs;
                         }()),
                         [](const auto &p) { return std::string(p.param->className); });

} // namespace
} // namespace tally::documents
