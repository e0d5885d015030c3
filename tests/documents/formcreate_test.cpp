// The creation sequence of a document window against a recording bill.
#include "documents/documentbill.h"
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "formfixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tally::documents {
namespace {

class RecordingBill : public DocumentBill
{
public:
    void setVisible(bool visible) override { calls.push_back(visible ? "show" : "hide"); }
    void setRowCountBody(int rows) override { calls.push_back("rows " + std::to_string(rows)); }
    void setDataSet(datapacket::DataPacketTable *table) override
    {
        calls.push_back(table ? "bind " + std::to_string(table->recordCount()) : "unbind");
    }
    void print() override
    {
        calls.push_back("print");
        if (failPrint)
            throw std::runtime_error("printer gone");
    }
    void preview() override { calls.push_back("preview"); }

    std::vector<std::string> calls;
    bool failPrint = false;
};

std::string items(std::string_view djlx, int count)
{
    return test::packet(test::itemColumns(djlx), test::itemRows(djlx, count));
}

std::string header(std::string_view djlx)
{
    const test::HeaderFixture f = test::headerFixture(djlx);
    return test::packet(f.columns, {f.row});
}

struct CreateCase
{
    const char *scenario;
    const char *djlx;
    const char *prev;
    int items;
    bool goodHeader;
    DocumentForm::Outcome outcome;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
};

const CreateCase kCases[] = {
    {"PrintsAtOnce",
     "1",
     "0",
     41,
     true,
     DocumentForm::Outcome::Printed,
     {"hide", "rows 40", "bind 41", "show", "print"},
     {}},
    {"PreviewForOne",
     "12",
     "1",
     23,
     true,
     DocumentForm::Outcome::Previewed,
     {"hide", "rows 22", "bind 23", "show", "preview"},
     {}},
    {"TrueIsNotPreview",
     "11",
     "true",
     3,
     true,
     DocumentForm::Outcome::Printed,
     {"hide", "rows 3", "bind 3", "show", "print"},
     {}},
    {"NoItemsPrintsOneEmptyPage",
     "4",
     "0",
     0,
     true,
     DocumentForm::Outcome::Printed,
     {"hide", "rows 1", "unbind", "show", "print"},
     {}},
    {"BadPacketShowsMessageOnly",
     "1",
     "1",
     3,
     false,
     DocumentForm::Outcome::BadFormat,
     {"hide"},
     {"格式不正确"}},
};

class FormCreate : public ::testing::TestWithParam<CreateCase>
{
};

TEST_P(FormCreate, RunsTheSequence)
{
    const CreateCase &c = GetParam();
    DocumentForm form(
        *findDocument(c.djlx),
        {"", c.prev, c.goodHeader ? header(c.djlx) : "<DATAPACKET/>", items(c.djlx, c.items)});
    RecordingBill bill;
    std::vector<std::string> messages;
    EXPECT_EQ(form.create(bill, [&](std::string_view m) { messages.emplace_back(m); }), c.outcome);
    EXPECT_EQ(bill.calls, c.calls);
    EXPECT_EQ(messages, c.messages);
}

INSTANTIATE_TEST_SUITE_P(Documents, FormCreate, ::testing::ValuesIn(kCases),
                         [](const auto &p) { return std::string(p.param.scenario); });

TEST(FormCreateFailure, PrintFailureReachesTheCaller)
{
    DocumentForm form(*findDocument("1"), {"", "0", header("1"), items("1", 2)});
    RecordingBill bill;
    bill.failPrint = true;
    EXPECT_THROW(form.create(bill, {}), std::runtime_error);
}

} // namespace
} // namespace tally::documents
