// Failures inside windows stop at the containment: the window stays, the log
// gets one line with the cause and the window one box, however often the
// failing event comes back.
#include "base/qt/containment.h"
#include "support/qtwidgetsapp.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tally {
namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

// A window whose paint fails with whatever `fail` throws.
class FailingWindow : public ContainedWidget<QWidget>
{
public:
    std::function<void()> fail;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (fail)
            fail();
    }
};

class ContainmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Containment::setLogSink([this](const std::string &line) { lines.push_back(line); });
        window.setWindowTitle(QStringLiteral("清单"));
        window.resize(200, 100);
        window.show();
    }
    void TearDown() override { Containment::setLogSink({}); }

    // The texts of the failure boxes, once the posted boxes are up.
    QStringList boxTexts()
    {
        const auto boxes = [this] {
            return window.findChildren<QMessageBox *>(QString::fromLatin1(Containment::kBoxName));
        };
        testing_support::processEventsUntil([&] { return !boxes().isEmpty(); }, 2000);
        QCoreApplication::processEvents();
        QStringList texts;
        for (QMessageBox *box : boxes())
            texts.append(box->text());
        return texts;
    }

    std::vector<std::string> lines;
    FailingWindow window;
};

TEST_F(ContainmentTest, RepeatedPaintFailureIsShownAndLoggedOnce)
{
    struct Case
    {
        const char *name;
        std::function<void()> fail;
        const char *text;
    };
    const Case cases[] = {
        {"standard", [] { throw std::runtime_error("field \"HTH\" not found"); },
         "field \"HTH\" not found"},
        {"not standard", [] { throw 7; }, "未知错误"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        lines.clear();
        window.fail = c.fail;
        for (int i = 0; i < 3; ++i)
            window.repaint();
        EXPECT_EQ(boxTexts(), QStringList{QString::fromUtf8(c.text)});
        EXPECT_EQ(lines, std::vector<std::string>{std::string("窗口出错（清单）：") + c.text});
        EXPECT_TRUE(window.isVisible());
        for (QMessageBox *box : window.findChildren<QMessageBox *>())
            delete box;
    }
}

TEST_F(ContainmentTest, SlotsAndWindowlessWorkAreContained)
{
    auto *button = new QPushButton(&window);
    int calls = 0;
    QObject::connect(button, &QPushButton::clicked, &window, contained(&window, [&](bool) {
                         ++calls;
                         throw std::runtime_error("click failed");
                     }));
    button->click();
    button->click();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("click failed")});
    EXPECT_EQ(lines.size(), 1u);

    // Without a window there is nothing to show: the log has every failure.
    EXPECT_FALSE(Containment::run(nullptr, [] { throw std::logic_error("posted"); }));
    EXPECT_FALSE(Containment::run(nullptr, [] { throw std::logic_error("posted"); }));
    EXPECT_TRUE(Containment::run(nullptr, [] {}));
    EXPECT_EQ(lines, (std::vector<std::string>{"窗口出错（清单）：click failed", "窗口出错：posted",
                                               "窗口出错：posted"}));
}

} // namespace
} // namespace tally
