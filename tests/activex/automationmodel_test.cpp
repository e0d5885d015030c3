#include "activex/automationmodel.h"
#include "datapacket/datapackettable.h"
#include "recordingform.h"
#include "support/packettext.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tally::activex {
namespace {

using test::RecordingForm;

const std::string kTwoRows =
    test::packetText(R"(<FIELD attrname="JLBH" fieldtype="string" WIDTH="10"/>)",
                     R"(<ROW JLBH="A1"/><ROW JLBH="A2"/>)");
const std::string kThreeRows =
    test::packetText(R"(<FIELD attrname="JLBH" fieldtype="string" WIDTH="10"/>)",
                     R"(<ROW JLBH="B1"/><ROW JLBH="B2"/><ROW JLBH="B3"/>)");

CallResult doPrint1(AutomationModel &model, std::string title, std::string data,
                    std::string preview)
{
    const std::array<Value, 3> args{std::move(title), std::move(data), std::move(preview)};
    return model.call(kDispIdDoPrint1, args);
}

TEST(DispatchTable, MembersInInterfaceOrderWithTheirIdsAndHiddenFlags)
{
    struct Row
    {
        int id;
        const char *name;
        bool hidden;
    };
    const std::vector<Row> expected{
        {1, "Visible", true},
        {2, "AutoScroll", false},
        {3, "AutoSize", false},
        {4, "AxBorderStyle", false},
        {-518, "Caption", false},
        {-501, "Color", false},
        {-512, "Font", false},
        {5, "KeyPreview", false},
        {6, "PixelsPerInch", false},
        {7, "PrintScale", false},
        {8, "Scaled", false},
        {9, "Active", true},
        {10, "DropTarget", true},
        {11, "HelpFile", true},
        {12, "DoubleBuffered", true},
        {13, "AlignDisabled", true},
        {14, "VisibleDockClientCount", true},
        {-514, "Enabled", true},
        {15, "Cursor", false},
        {16, "HelpType", false},
        {17, "HelpKeyword", false},
        {18, "DoPrint", false},
        {19, "GETFCGPATH", false},
        {20, "DoPrint1", false},
    };
    const auto members = dispatchMembers();
    ASSERT_EQ(members.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(members[i].dispId, expected[i].id);
        EXPECT_EQ(members[i].name, expected[i].name);
        EXPECT_EQ(members[i].hidden, expected[i].hidden);
    }
    EXPECT_EQ(findMember(9)->access, Access::Read);
    EXPECT_EQ(findMember(13)->access, Access::Read);
    EXPECT_EQ(findMember(14)->access, Access::Read);
    EXPECT_EQ(findMember(-512)->access, Access::ReadWriteRef);
    EXPECT_EQ(findMember(99), nullptr);
}

TEST(DispatchTable, EventIds)
{
    std::vector<int> ids;
    for (const EventMember &e : eventMembers())
        ids.push_back(static_cast<int>(e.event));
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 5, 6, 7, 11, 16}));
    EXPECT_EQ(eventMembers()[6].arguments.size(), 1u);
}

struct BoolCase
{
    std::int16_t written;
    std::int16_t readBack;
};

class BooleanProperty : public testing::TestWithParam<BoolCase>
{
};

TEST_P(BooleanProperty, AnyNonZeroSixteenBitValueIsTrueAndReadsMinusOne)
{
    RecordingForm form;
    AutomationModel model(form);
    for (int id : {1, 2, 3, 5, 8, 10, 12, -514}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(model.put(id, GetParam().written).ok());
        EXPECT_EQ(std::get<std::int16_t>(model.get(id).value), GetParam().readBack);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, BooleanProperty,
                         testing::Values(BoolCase{0, 0}, BoolCase{1, -1}, BoolCase{-1, -1},
                                         BoolCase{0x100, -1}, BoolCase{-32768, -1}));

TEST(AutomationModel, PropertiesKeepTheirTypes)
{
    RecordingForm form;
    AutomationModel model(form);
    EXPECT_TRUE(model.put(kDispIdCaption, std::string("清单")).ok());
    EXPECT_EQ(std::get<std::string>(model.get(kDispIdCaption).value), "清单");
    EXPECT_TRUE(model.put(15, std::int16_t{-2}).ok()); // Cursor
    EXPECT_EQ(std::get<std::int16_t>(model.get(15).value), -2);
    EXPECT_TRUE(model.put(kDispIdBackColor, std::uint32_t{0xFFFF00}).ok());
    EXPECT_EQ(std::get<std::uint32_t>(model.get(kDispIdBackColor).value), 0xFFFF00u);
    const FontDesc font{"宋体", 105000, 700, 134, true, false, false};
    EXPECT_TRUE(model.put(kDispIdFont, font).ok());
    EXPECT_EQ(std::get<FontDesc>(model.get(kDispIdFont).value), font);
    EXPECT_EQ(std::get<std::int32_t>(model.get(6).value), 96); // PixelsPerInch
}

TEST(AutomationModel, RefusedAccessesAndArguments)
{
    struct Case
    {
        const char *what;
        CallResult result;
        CallStatus status;
    };
    RecordingForm form;
    AutomationModel model(form);
    const std::array<Value, 1> one{std::string("x")};
    const std::array<Value, 2> textAndNumber{std::string("x"), std::int32_t{1}};
    const std::vector<Case> cases{
        {"unknown id", model.get(21), CallStatus::MemberNotFound},
        {"write Active", model.put(9, std::int16_t{-1}), CallStatus::MemberNotFound},
        {"write VisibleDockClientCount", model.put(14, std::int32_t{1}),
         CallStatus::MemberNotFound},
        {"read a method", model.get(kDispIdDoPrint), CallStatus::MemberNotFound},
        {"call a property", model.call(1, {}), CallStatus::MemberNotFound},
        {"text into a boolean", model.put(1, std::string("true")), CallStatus::BadArguments},
        {"32-bit into Cursor", model.put(15, std::int32_t{1}), CallStatus::BadArguments},
        {"DoPrint with an argument", model.call(kDispIdDoPrint, one), CallStatus::BadArguments},
        {"GETFCGPATH with a number", model.call(kDispIdGetFcgPath, textAndNumber),
         CallStatus::BadArguments},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result.status, c.status);
    }
}

TEST(AutomationModel, AFailingFormBecomesAFailureResultWithItsText)
{
    RecordingForm form;
    AutomationModel model(form);
    form.failing = true;
    const CallResult read = model.get(1);
    EXPECT_EQ(read.status, CallStatus::Failed);
    EXPECT_EQ(read.error, "form gone");
    const CallResult write = model.put(kDispIdCaption, std::string("x"));
    EXPECT_EQ(write.status, CallStatus::Failed);
    EXPECT_EQ(write.error, "form gone");
}

TEST(AutomationModel, DoPrintAndGetFcgPathChangeNothing)
{
    RecordingForm form;
    AutomationModel model(form);
    ASSERT_TRUE(doPrint1(model, "t", kTwoRows, "1").ok());
    form.messages.clear();
    const std::array<Value, 2> paths{std::string("C:\\a"), std::string(kThreeRows)};
    EXPECT_TRUE(model.call(kDispIdDoPrint, {}).ok());
    EXPECT_TRUE(model.call(kDispIdGetFcgPath, paths).ok());
    EXPECT_EQ(form.reportTitle, "t");
    EXPECT_EQ(form.previewFlag, "1");
    EXPECT_EQ(form.loadedTable().recordCount(), 2u);
    EXPECT_TRUE(form.messages.empty());
}

struct LoadCase
{
    const char *scenario;
    std::string data;
    bool loads;
    bool activeAfter; // after an earlier load of two rows
    std::size_t rowsAfter;
};

class DoPrint1Load : public testing::TestWithParam<LoadCase>
{
};

TEST_P(DoPrint1Load, SucceedsInEveryCase)
{
    const LoadCase &c = GetParam();
    RecordingForm form;
    AutomationModel model(form);
    ASSERT_TRUE(doPrint1(model, "first", kTwoRows, "1").ok());
    form.packetUsed = false;
    form.columnWidth = 0;

    const CallResult r = doPrint1(model, "标题", c.data, "true");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(form.reportTitle, "标题");
    EXPECT_EQ(form.previewFlag, "true");
    EXPECT_EQ(form.loadedTable().isActive(), c.activeAfter);
    EXPECT_EQ(form.loadedTable().recordCount(), c.rowsAfter);
    EXPECT_EQ(form.packetUsed, c.loads);
    if (c.loads) {
        EXPECT_TRUE(form.messages.empty());
        EXPECT_EQ(form.columnWidth, 64);
        EXPECT_EQ(form.columnAlignment, TitleAlignment::Centre);
    } else {
        EXPECT_EQ(form.messages, std::vector<std::string>{"格式不正确"});
        EXPECT_EQ(form.columnWidth, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Packets, DoPrint1Load,
    testing::Values(LoadCase{"a packet", kThreeRows, true, true, 3},
                    LoadCase{"blanks before the declaration", "  \r\n\t " + kThreeRows, true, true,
                             3},
                    LoadCase{"not well-formed: the previous rows stay", "<DATAPACKET><ROWDATA>",
                             false, true, 2},
                    LoadCase{"not XML at all", "hello", false, true, 2},
                    LoadCase{"well-formed but no packet: the table closes",
                             "<?xml version=\"1.0\"?><root/>", false, false, 0}),
    [](const testing::TestParamInfo<LoadCase> &row) { return "case" + std::to_string(row.index); });

TEST(NormalizePacketXml, WritesBackWithADeclarationAndNoLeadingBlanks)
{
    EXPECT_EQ(
        normalizePacketXml("  <?xml version=\"1.0\" standalone=\"yes\"?>\n<A b=\"1\"> <C/> </A>"),
        "<?xml version=\"1.0\"?><A b=\"1\"><C/></A>");
    EXPECT_THROW(normalizePacketXml("<A>"), std::runtime_error);
}

class RecordingSink : public EventSink
{
public:
    void fire(Event event, std::int16_t *key) override
    {
        fired.push_back(event);
        if (key != nullptr) {
            seenKey = *key;
            *key = replacement;
        }
    }
    std::vector<Event> fired;
    std::int16_t seenKey = 0;
    std::int16_t replacement = 'Z';
};

TEST(AutomationModel, EventsReachOnlyAConnectedSinkAndNeverOnCreate)
{
    RecordingForm form;
    RecordingSink sink;
    {
        AutomationModel model(form);
        ASSERT_EQ(form.events(), &model);
        std::int16_t key = 'a';
        form.events()->raise(Event::OnClick);
        form.events()->raiseKeyPress(key);
        EXPECT_EQ(key, 'a');

        model.setEventSink(&sink);
        for (Event e : {Event::OnActivate, Event::OnCreate, Event::OnClick, Event::OnPaint})
            form.events()->raise(e);
        form.events()->raiseKeyPress(key);
        EXPECT_EQ(sink.seenKey, 'a');
        EXPECT_EQ(key, 'Z');
        EXPECT_EQ(sink.fired, (std::vector<Event>{Event::OnActivate, Event::OnClick, Event::OnPaint,
                                                  Event::OnKeyPress}));
        model.setEventSink(nullptr);
        form.events()->raise(Event::OnClick);
        EXPECT_EQ(sink.fired.size(), 4u);
    }
    EXPECT_EQ(form.events(), nullptr);
}

} // namespace
} // namespace tally::activex
