// The control's Qt form driven through the automation model by dispatch id,
// as a container drives it: DoPrint1 fills the list window in control mode,
// the form-state members read and write the window, and the window's events
// reach a connected sink only.
#include "activex/automationmodel.h"
#include "activex/qt/tactivegridora.h"
#include "datapacket/datapackettable.h"
#include "support/packettext.h"
#include "support/qtwidgetsapp.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tally::activex {
namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

const std::string kTwoRows =
    test::packetText(R"(<FIELD attrname="JLBH" fieldtype="string" WIDTH="10"/>)",
                     R"(<ROW JLBH="A1"/><ROW JLBH="A2"/>)");

CallResult doPrint1(AutomationModel &model, std::string title, std::string data,
                    std::string preview)
{
    const std::array<Value, 3> args{std::move(title), std::move(data), std::move(preview)};
    return model.call(kDispIdDoPrint1, args);
}

class RecordingSink : public EventSink
{
public:
    std::vector<Event> fired;
    std::int16_t replaceKeyWith = 0;
    void fire(Event event, std::int16_t *key) override
    {
        fired.push_back(event);
        if (key && replaceKeyWith)
            *key = replaceKeyWith;
    }
};

class ActiveGridoraTest : public ::testing::Test
{
protected:
    TActiveGridora form;
    AutomationModel model{form};

    int gridRows() const { return form.window().grid().model()->rowCount(); }
    QStringList boxTexts() const
    {
        QCoreApplication::processEvents();
        QStringList texts;
        for (QMessageBox *box : form.window().findChildren<QMessageBox *>())
            texts.append(box->text());
        return texts;
    }
};

TEST_F(ActiveGridoraTest, DoPrint1FillsTheWindowAndKeepsRowsOnBadText)
{
    EXPECT_EQ(form.window().title(), "abc");
    EXPECT_EQ(form.window().windowTitle(), QStringLiteral("ActiveGridora"));
    EXPECT_EQ(form.window().size(), QSize(1126, 602));
    EXPECT_FALSE(form.window().grid().Zebra());
    EXPECT_EQ(form.window().grid().ZebraColor(), QColor(0, 255, 255));
    ASSERT_TRUE(doPrint1(model, "库存", "  \r\n" + kTwoRows, "1").ok());
    EXPECT_EQ(form.window().title(), "库存");
    EXPECT_EQ(form.window().previewFlag(), "1");
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(form.window().grid().columnWidth(0), 64);
    EXPECT_NE(form.window().exportGrid(), nullptr);
    EXPECT_TRUE(boxTexts().isEmpty());

    // Not well-formed: the box, the rows stay. A packet of another shape: the table closes.
    ASSERT_TRUE(doPrint1(model, "t", "<DATAPACKET", "true").ok());
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("格式不正确")});
    ASSERT_TRUE(doPrint1(model, "t", "<other/>", "true").ok());
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(form.window().previewFlag(), "true");
}

TEST_F(ActiveGridoraTest, FormMembersReadAndWriteTheWindow)
{
    EXPECT_EQ(model.get(1).value, Value{std::int16_t{0}}); // Visible
    form.window().show();
    EXPECT_EQ(model.get(1).value, Value{std::int16_t{-1}});
    ASSERT_TRUE(model.put(kDispIdCaption, std::string("清单控件")).ok());
    EXPECT_EQ(form.window().windowTitle(), QStringLiteral("清单控件"));
    ASSERT_TRUE(model.put(kDispIdEnabled, std::int16_t{0}).ok());
    EXPECT_FALSE(form.window().isEnabled());
    ASSERT_TRUE(model.put(kDispIdEnabled, std::int16_t{256}).ok()); // any non-zero is true
    EXPECT_TRUE(form.window().isEnabled());
    ASSERT_TRUE(model.put(kDispIdBackColor, std::uint32_t{0x0000FFFF}).ok());
    EXPECT_EQ(form.window().palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_EQ(model.get(kDispIdBackColor).value, Value{std::uint32_t{0x0000FFFF}});
    FontDesc font{"SimSun"};
    font.sizeCy = 120000;
    font.weight = 700;
    ASSERT_TRUE(model.put(kDispIdFont, font).ok());
    EXPECT_EQ(form.window().font().pointSize(), 12);
    EXPECT_TRUE(form.window().font().bold());
}

TEST_F(ActiveGridoraTest, EventsReachOnlyAConnectedSinkAndKeysCanBeReplaced)
{
    form.window().show();
    auto *edit = form.window().findChild<QLineEdit *>(QStringLiteral("eFileName"));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::mouseClick(&form.window(), Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("a")); // no sink: nothing raised, nothing replaced

    RecordingSink sink;
    sink.replaceKeyWith = 'Z';
    model.setEventSink(&sink);
    QTest::mouseClick(&form.window(), Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("aZ"));
    EXPECT_NE(std::find(sink.fired.begin(), sink.fired.end(), Event::OnClick), sink.fired.end());
    EXPECT_NE(std::find(sink.fired.begin(), sink.fired.end(), Event::OnKeyPress), sink.fired.end());
    EXPECT_EQ(std::find(sink.fired.begin(), sink.fired.end(), Event::OnCreate), sink.fired.end());
    model.setEventSink(nullptr);
}

} // namespace
} // namespace tally::activex
