#include "../intakefixtures.h"
#include "service/qt/tmainform.h"
#include "service/requestintake.h"
#include "support/qtwidgetsapp.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace tally::service {
namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

template <class Predicate> bool processEventsUntil(Predicate done)
{
    return testing_support::processEventsUntil(done, 20000);
}

class MainFormTest : public ::testing::Test
{
protected:
    std::unique_ptr<TMainForm> makeForm(QStringList arguments = {}, int port = 0)
    {
        TMainForm::Options options;
        options.port = port;
        options.arguments = std::move(arguments);
        options.showMessage = [this](QWidget *, const QString &text) { messages.append(text); };
        return std::make_unique<TMainForm>(std::move(options));
    }

    static QString panel(const TMainForm &form, int i)
    {
        return form.findChild<QLabel *>(QStringLiteral("Panel%1").arg(i))->text();
    }

    static QStringList logLines(const TMainForm &form)
    {
        QCoreApplication::processEvents();
        QString text = form.findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"))->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    QStringList messages;
};

TEST_F(MainFormTest, WindowLooksAsDesigned)
{
    auto form = makeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("网页打印伺服程序1.6"));
    EXPECT_EQ(form->size(), QSize(789, 242));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);

    auto *memo = form->findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->geometry(), QRect(0, 0, 789, 161));
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(137, 245, 240));
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    struct ButtonCase
    {
        const char *name;
        const char *text;
        QRect geometry;
    };
    for (const ButtonCase &b : {ButtonCase{"btnHide", "隐藏", QRect(40, 193, 73, 25)},
                                ButtonCase{"btnClose", "关闭", QRect(128, 193, 73, 25)}}) {
        auto *button = form->findChild<QPushButton *>(QString::fromUtf8(b.name));
        ASSERT_TRUE(button) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text));
        EXPECT_EQ(button->geometry(), b.geometry);
        EXPECT_TRUE(button->isFlat());
    }

    auto *label = form->findChild<QLabel *>(QStringLiteral("LabMSG"));
    EXPECT_EQ(label->text(), QStringLiteral("追求极致性价比"));
    EXPECT_EQ(label->pos(), QPoint(568, 176));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    EXPECT_EQ(form->findChild<QTimer *>(QStringLiteral("Timer"))->interval(), 100);
}

TEST_F(MainFormTest, StatusPanels)
{
    auto form = makeForm();
    const int widths[] = {50, 150, 50, 150};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("Panel%1").arg(i))->width(), widths[i])
            << i;
    EXPECT_EQ(panel(*form, 0), QStringLiteral("状态："));
    EXPECT_EQ(panel(*form, 1), QStringLiteral("端口:0 启动成功"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("时间:"));
    // Chinese short date and long time when the locale is plain C; some date otherwise.
    EXPECT_TRUE(panel(*form, 3).contains(
        QRegularExpression(QStringLiteral("\\d{1,4}\\D\\d{1,2}\\D\\d{1,4}"))))
        << panel(*form, 3).toStdString();
}

TEST_F(MainFormTest, PortInUseIsReportedInTheStatusBar)
{
    // Holds 9300 unless something else already does; either way it is taken.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    // Lingering closed connections of an earlier run must not keep it from binding.
    const int yes = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(9300);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s, reinterpret_cast<const sockaddr *>(&addr), sizeof(addr)) == 0)
        ::listen(s, 1);
    auto form = makeForm({}, 9300);
    EXPECT_EQ(panel(*form, 1), QStringLiteral("端口:9300 启动失败"));
    EXPECT_TRUE(messages.isEmpty());
    ::close(s);
}

TEST_F(MainFormTest, LabelRunsRightToLeftIn658Ticks)
{
    auto form = makeForm();
    form->findChild<QTimer *>(QStringLiteral("Timer"))->stop();
    auto *label = form->findChild<QLabel *>(QStringLiteral("LabMSG"));
    for (int tick = 1; tick <= 658; ++tick) {
        form->timerTick();
        ASSERT_EQ(label->x(), 568 - tick) << tick;
    }
    EXPECT_EQ(label->x(), -90);
    form->timerTick();
    EXPECT_EQ(label->x(), 568);
    EXPECT_EQ(label->y(), 176);
}

TEST_F(MainFormTest, CommandLine)
{
    struct Case
    {
        QStringList arguments;
        QStringList messages;
        QString logTail; // empty: no log line
    };
    const Case cases[] = {
        {{QStringLiteral("-ab"), QStringLiteral("-cd")}, {QStringLiteral("abDDcd")}, {}},
        {{QStringLiteral("x")}, {}, QStringLiteral(":x DD ")},
        {{}, {}, {}},
        {{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {}, {}},
    };
    for (const Case &c : cases) {
        messages.clear();
        auto form = makeForm(c.arguments);
        EXPECT_EQ(messages, c.messages) << c.arguments.join(QLatin1Char(' ')).toStdString();
        const QStringList lines = logLines(*form);
        if (c.logTail.isEmpty()) {
            EXPECT_TRUE(lines.isEmpty());
        } else {
            ASSERT_EQ(lines.size(), 1);
            EXPECT_TRUE(lines[0].endsWith(c.logTail)) << lines[0].toStdString();
        }
    }
}

TEST_F(MainFormTest, LogLinesCarryTheTimeStampAndKeepCallOrder)
{
    auto form = makeForm();
    form->AddLog(QStringLiteral("正常接收信息3条"));
    // Several threads at once: every line whole, each thread's lines in order.
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&form, t] {
            for (int i = 0; i < kLines; ++i)
                form->AddLog("t" + std::to_string(t) + "-" + std::to_string(i));
        });
    for (auto &t : threads)
        t.join();
    const QStringList lines = logLines(*form);
    ASSERT_EQ(lines.size(), 1 + kThreads * kLines);
    const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2},\\d{2}:\\d{2}:\\d{2}:(.*)$"));
    const auto first = stamp.match(lines[0]);
    ASSERT_TRUE(first.hasMatch()) << lines[0].toStdString();
    EXPECT_EQ(first.captured(1), QStringLiteral("正常接收信息3条"));
    int next[kThreads] = {};
    for (int i = 1; i < lines.size(); ++i) {
        const auto m = stamp.match(lines[i]);
        ASSERT_TRUE(m.hasMatch()) << lines[i].toStdString();
        const QStringList parts = m.captured(1).mid(1).split(QLatin1Char('-'));
        ASSERT_EQ(parts.size(), 2);
        const int t = parts[0].toInt();
        EXPECT_EQ(parts[1].toInt(), next[t]++);
    }
}

// A document window opened through the GUI thread keeps its request, and the
// close button, waiting until it is closed.
TEST_F(MainFormTest, CloseIsRefusedWhileADocumentWindowIsOpen)
{
    auto form = makeForm();
    QPointer<QWidget> opened;
    form->registerWindow("1", [&](const LaunchRequest &request, QWidget *) {
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QString::fromStdString(request.title));
        opened = window.get();
        return window;
    });
    bool closed = false;
    QObject::connect(form.get(), &TMainForm::closed, [&] { closed = true; });
    form->show();

    std::thread request(
        [&] { form->intake().handleRequest("POST", R"({"djlx":"1","title":"订货单"})"); });
    ASSERT_TRUE(processEventsUntil([&] { return opened && opened->isVisible(); }));
    EXPECT_EQ(opened->windowTitle(), QStringLiteral("订货单"));
    EXPECT_EQ(opened->parentWidget(), form.get());
    EXPECT_EQ(form->OpenCount(), 1);

    form->findChild<QPushButton *>(QStringLiteral("btnClose"))->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("还有未关闭打印界面")});
    EXPECT_FALSE(form->close()); // any other way to close follows the same rule
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(closed);

    opened->close();
    // The window goes on the next event loop turn, which releases the request.
    ASSERT_TRUE(processEventsUntil([&] { return form->OpenCount() == 0; }));
    request.join();
    form->findChild<QPushButton *>(QStringLiteral("btnClose"))->click();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(messages.size(), 2);
    EXPECT_TRUE(logLines(*form).last().endsWith(QStringLiteral("当前打开数量=0")));
}

// The whole road: an HTTP POST opens its window on the GUI thread and gets its
// reply only once the user has closed that window.
TEST_F(MainFormTest, HttpReplyFollowsTheWindowClosing)
{
    auto form = makeForm();
    ASSERT_GT(form->listeningPort(), 0);
    QPointer<QWidget> opened;
    form->registerWindow("1", [&](const LaunchRequest &, QWidget *) {
        auto window = std::make_unique<QWidget>();
        opened = window.get();
        return window;
    });
    auto reply = std::async(std::launch::async, [port = form->listeningPort()] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(std::chrono::seconds(60));
        return client.Post("/", "%7B%22djlx%22%3A%221%22%7D", "application/x-www-form-urlencoded");
    });
    ASSERT_TRUE(processEventsUntil([&] { return opened && opened->isVisible(); }));
    EXPECT_EQ(reply.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    opened->close();
    ASSERT_TRUE(processEventsUntil(
        [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const httplib::Result r = reply.get();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(form->OpenCount(), 0);
}

TEST_F(MainFormTest, WindowFactoryFailureAndNothingToShow)
{
    auto form = makeForm();
    form->registerWindow("1", [](const LaunchRequest &, QWidget *) -> std::unique_ptr<QWidget> {
        throw std::runtime_error("layout missing");
    });
    form->registerWindow(
        "2", [](const LaunchRequest &, QWidget *) { return std::unique_ptr<QWidget>(); });
    int done = 0;
    for (const char *body :
         {R"({"djlx":"1","Maindata":"<M/>","Itemdata":"<I/>"})", R"({"djlx":"2"})"}) {
        std::thread request([&] { form->intake().handleRequest("POST", body); });
        // The window is built on this thread, so it must keep processing events.
        ++done;
        ASSERT_TRUE(processEventsUntil([&] {
            return logLines(*form)
                       .filter(QRegularExpression(QStringLiteral("当前打开数量=0$")))
                       .size() == done;
        }));
        request.join();
    }
    QStringList tails;
    for (const QString &line : logLines(*form))
        tails.append(line.mid(20));
    EXPECT_TRUE(tails.contains(QStringLiteral("sData=<M/>")));
    EXPECT_TRUE(tails.contains(QStringLiteral("sITEM=<I/>")));
    EXPECT_EQ(tails.count(QStringLiteral("格式不正确")), 1);
}

TEST_F(MainFormTest, DestroyingTheFormReleasesWaitingRequests)
{
    auto form = makeForm();
    QPointer<QWidget> opened;
    form->registerWindow("1", [&](const LaunchRequest &, QWidget *) {
        auto window = std::make_unique<QWidget>();
        opened = window.get();
        return window;
    });
    std::thread request([&] { form->intake().handleRequest("POST", R"({"djlx":"1"})"); });
    ASSERT_TRUE(processEventsUntil([&] { return !opened.isNull(); }));
    form.reset(); // must not hang on the request's thread
    request.join();
    EXPECT_TRUE(opened.isNull());
}

TEST_F(MainFormTest, HideGoesToTheNotificationAreaOrMinimizes)
{
    auto form = makeForm();
    form->show();
    form->findChild<QPushButton *>(QStringLiteral("btnHide"))->click();
    // Off screen there is no notification area, so the window is minimized.
    EXPECT_TRUE(form->isHidden() || form->isMinimized());
}

} // namespace
} // namespace tally::service
