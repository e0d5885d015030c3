#include "intakefixtures.h"
#include "service/requestintake.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace tally::service {
namespace {

using testing::BlockingLauncher;
using ::testing::ElementsAre;
using testing::LogRecorder;

const std::string kOrder =
    "%7B%22title%22%3A%22%E8%AE%A2%E8%B4%A7%E5%8D%95%22%2C%22prev%22%3A%221%22%2C"
    "%22djlx%22%3A%221%22%2C%22Maindata%22%3A%22%3CM%2F%3E%22%2C"
    "%22Itemdata%22%3A%22%3CI%2F%3E%22%7D";

// A clock the test moves by hand.
struct ManualClock
{
    LocalDateTime now{2024, 11, 16, 10, 2, 7, 90};
    RequestIntake::Clock fn()
    {
        return [this] { return now; };
    }
};

class RequestIntakeTest : public ::testing::Test
{
protected:
    RequestIntakeTest()
        : intake([this](const std::string &line) { log.add(line); }, FormatSettings::chinesePrc(),
                 clock.fn())
    {
        intake.dispatchTable().registerLauncher("1", order);
        intake.dispatchTable().registerLauncher("0", list);
    }

    // Lines after the interval line of each request.
    std::vector<std::string> linesWithoutIntervals() const
    {
        std::vector<std::string> out;
        for (const auto &line : log.lines())
            if (line.rfind("间隔", 0) != 0)
                out.push_back(line);
        return out;
    }

    ManualClock clock;
    LogRecorder log;
    std::shared_ptr<BlockingLauncher> order = std::make_shared<BlockingLauncher>(false);
    std::shared_ptr<BlockingLauncher> list = std::make_shared<BlockingLauncher>(false);
    RequestIntake intake;
};

TEST_F(RequestIntakeTest, PrintedDocumentLogsTheWholeSequence)
{
    clock.now = {2024, 11, 16, 10, 2, 10, 340};
    intake.handleRequest("POST", kOrder);
    EXPECT_THAT(log.lines(),
                ElementsAre("间隔3.25秒 上次:10:2:7:90- 本次：10:2:10:340", "正常接收信息1条", "5",
                            "当前打开数量=1", "当前打开数量=0"));
    ASSERT_EQ(order->requests().size(), 1u);
    const LaunchRequest r = order->requests()[0];
    EXPECT_EQ(r.title, "订货单");
    EXPECT_EQ(r.prev, "1");
    EXPECT_EQ(r.mainData, "<M/>");
    EXPECT_EQ(r.itemData, "<I/>");
    EXPECT_EQ(intake.openCount(), 0);
    EXPECT_EQ(intake.requestCount(), 1);
}

TEST_F(RequestIntakeTest, IntervalMeasuresFromLastAcceptedRequest)
{
    struct Step
    {
        LocalDateTime at;
        const char *method;
        std::string expected;
    };
    const Step steps[] = {
        {{2024, 11, 16, 10, 2, 7, 103}, "GET", "间隔0.013秒 上次:10:2:7:90- 本次：10:2:7:103"},
        {{2024, 11, 16, 10, 2, 24, 103}, "HEAD", "间隔17秒 上次:10:2:7:103- 本次：10:2:24:103"},
        // Across midnight, and a clock set back still gives a positive interval.
        {{2024, 11, 17, 0, 0, 1, 0}, "GET", "间隔50256.897秒 上次:10:2:24:103- 本次：0:0:1:0"},
        {{2024, 11, 17, 0, 0, 0, 500}, "GET", "间隔0.5秒 上次:0:0:1:0- 本次：0:0:0:500"},
    };
    for (const Step &s : steps) {
        clock.now = s.at;
        intake.handleRequest(s.method, "");
        EXPECT_EQ(log.lines().back(), s.expected);
    }
    EXPECT_EQ(log.lines().size(), std::size(steps)); // GET and HEAD log nothing else
    EXPECT_TRUE(order->requests().empty());
}

TEST_F(RequestIntakeTest, IntervalUsesTheUsersDecimalSeparator)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.decimalSeparator = ',';
    RequestIntake other([this](const std::string &line) { log.add(line); }, fs, clock.fn());
    clock.now.second += 2;
    clock.now.millisecond += 500;
    other.handleRequest("GET", "");
    EXPECT_EQ(log.lines().back(), "间隔2,5秒 上次:10:2:7:90- 本次：10:2:9:590");
}

struct OutcomeCase
{
    const char *name;
    std::string body;
    std::vector<std::string> lines; // after the interval line
    int orderLaunches;
    int listLaunches;
};

void PrintTo(const OutcomeCase &c, std::ostream *os)
{
    *os << c.name;
}

class RequestOutcomeTest : public RequestIntakeTest,
                           public ::testing::WithParamInterface<OutcomeCase>
{
};

TEST_P(RequestOutcomeTest, LogsAndOpens)
{
    const OutcomeCase &c = GetParam();
    intake.handleRequest("POST", c.body);
    EXPECT_EQ(linesWithoutIntervals(), c.lines);
    EXPECT_EQ(static_cast<int>(order->requests().size()), c.orderLaunches);
    EXPECT_EQ(static_cast<int>(list->requests().size()), c.listLaunches);
    EXPECT_EQ(intake.openCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestOutcomeTest,
    ::testing::Values(
        OutcomeCase{"NumberDjlxOpensOrderForm",
                    R"({"djlx": 1})",
                    {"正常接收信息1条", "1", "当前打开数量=1", "当前打开数量=0"},
                    1,
                    0},
        OutcomeCase{"LeadingZeroOpensNothing",
                    R"({"djlx": "01"})",
                    {"正常接收信息1条", "1", "当前打开数量=1", "当前打开数量=0"},
                    0,
                    0},
        OutcomeCase{"UnknownDjlxOpensNothing",
                    R"({"djlx": "7", "title": "x"})",
                    {"正常接收信息1条", "2", "当前打开数量=1", "当前打开数量=0"},
                    0,
                    0},
        OutcomeCase{"MissingDjlxOpensNothing",
                    "{}",
                    {"正常接收信息1条", "0", "当前打开数量=1", "当前打开数量=0"},
                    0,
                    0},
        OutcomeCase{"ArrayBody",
                    "%5B1%2C+2%5D",
                    {"正常接收信息1条", "不正确:aRequestContent=[1, 2]"},
                    0,
                    0},
        OutcomeCase{"EmptyBody", "", {"正常接收信息1条", "不正确:aRequestContent="}, 0, 0},
        OutcomeCase{"BadEscapeEndsSilently", "%7B%zz", {"正常接收信息1条"}, 0, 0},
        OutcomeCase{"CutOffEscapeEndsSilently", R"({"djlx":"1"}%7)", {"正常接收信息1条"}, 0, 0},
        OutcomeCase{"InvalidUtf8IsReplaced",
                    "%7B%22title%22%3A%22%FF%22%7D",
                    {"正常接收信息1条", "1", "当前打开数量=1", "当前打开数量=0"},
                    0,
                    0},
        OutcomeCase{"InvalidUtf8InRejectedText",
                    "%FF%5B%5D",
                    {"正常接收信息1条", "不正确:aRequestContent=\xEF\xBF\xBD[]"},
                    0,
                    0}),
    [](const auto &p) { return std::string(p.param.name); });

TEST_F(RequestIntakeTest, NestingBombIsLoggedAsRejected)
{
    const std::string bomb = "%7B%22data%22%3A" + std::string(100'000, '[');
    intake.handleRequest("POST", bomb);
    const auto lines = linesWithoutIntervals();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "不正确:aRequestContent={\"data\":" + std::string(100'000, '['));
}

TEST_F(RequestIntakeTest, GenericListReadsOnlyData)
{
    intake.handleRequest(
        "POST",
        R"({"djlx":"0","title":"列表","prev":"0","data":"<D/>","Maindata":"<M/>","Itemdata":"<I/>"})");
    ASSERT_EQ(list->requests().size(), 1u);
    const LaunchRequest r = list->requests()[0];
    EXPECT_EQ(r.data, "<D/>");
    EXPECT_EQ(r.mainData, "");
    EXPECT_EQ(r.itemData, "");
    EXPECT_EQ(r.title, "列表");
}

TEST_F(RequestIntakeTest, DocumentPacketsDoNotIncludeData)
{
    intake.handleRequest("POST", R"({"djlx":"1","data":"<D/>","Maindata":"<M/>"})");
    ASSERT_EQ(order->requests().size(), 1u);
    EXPECT_EQ(order->requests()[0].data, "");
    EXPECT_EQ(order->requests()[0].mainData, "<M/>");
}

// The packets, 格式不正确 and then the failure's own text, or 未知错误 for a
// failure that carries none.
TEST_F(RequestIntakeTest, FailingWindowLogsItsPacketsAndCause)
{
    order->failWith("draw failed");
    list->failWithUnknown();
    intake.handleRequest("POST", R"({"djlx":"1","Maindata":"<M/>","Itemdata":"<I/>"})");
    intake.handleRequest("POST", R"({"djlx":"0","data":"<D/>"})");
    EXPECT_THAT(linesWithoutIntervals(),
                ElementsAre("正常接收信息1条", "3", "当前打开数量=1", "sData=<M/>", "sITEM=<I/>",
                            "格式不正确", "原因：draw failed", "当前打开数量=0", "正常接收信息2条",
                            "2", "当前打开数量=1", "sData=<D/>", "格式不正确", "原因：未知错误",
                            "当前打开数量=0"));
    EXPECT_EQ(intake.openCount(), 0);
}

TEST_F(RequestIntakeTest, ThrowingLogSinkDoesNotEscape)
{
    RequestIntake other([](const std::string &) { throw std::runtime_error("sink"); });
    other.dispatchTable().registerLauncher("1", order);
    EXPECT_NO_THROW(other.handleRequest("POST", R"({"djlx":"1"})"));
    EXPECT_EQ(other.openCount(), 0);
}

// Duplicate rule: each scenario is a list of steps; held POSTs keep their
// window open on a thread of their own until the scenario ends or a release.
enum class Step
{
    HeldPost,
    Get,
    Release
};

struct DuplicateCase
{
    const char *name;
    std::vector<Step> steps;
    int launches;   // windows opened in the end
    int duplicates; // "两次发送内容一样" lines
};

void PrintTo(const DuplicateCase &c, std::ostream *os)
{
    *os << c.name;
}

class DuplicateRuleTest : public ::testing::TestWithParam<DuplicateCase>
{
};

TEST_P(DuplicateRuleTest, DropsIdenticalBodyOnlyWhileBusy)
{
    const DuplicateCase &c = GetParam();
    LogRecorder log;
    auto window = std::make_shared<BlockingLauncher>();
    RequestIntake intake([&](const std::string &line) { log.add(line); });
    intake.dispatchTable().registerLauncher("1", window);

    std::vector<std::thread> threads;
    int launchesSoFar = 0;
    int duplicatesSoFar = 0;
    for (const Step step : c.steps) {
        switch (step) {
        case Step::Get:
            intake.handleRequest("GET", "");
            break;
        case Step::Release:
            window->releaseAll();
            for (auto &t : threads)
                t.join();
            threads.clear();
            break;
        case Step::HeldPost: {
            threads.emplace_back([&] { intake.handleRequest("POST", kOrder); });
            // The request either opens its window or is dropped; wait for whichever.
            for (;;) {
                if (window->requests().size() > static_cast<std::size_t>(launchesSoFar)) {
                    ++launchesSoFar;
                    break;
                }
                int dups = 0;
                for (const auto &line : log.lines())
                    dups += line.find("两次发送内容一样") != std::string::npos ? 1 : 0;
                if (dups > duplicatesSoFar) {
                    duplicatesSoFar = dups;
                    break;
                }
                std::this_thread::yield();
            }
            break;
        }
        }
    }
    window->releaseAll();
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(launchesSoFar, c.launches);
    EXPECT_EQ(duplicatesSoFar, c.duplicates);
    EXPECT_EQ(intake.openCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateRuleTest,
    ::testing::Values(
        DuplicateCase{"FirstRequestIsNeverADuplicate", {Step::HeldPost}, 1, 0},
        DuplicateCase{"IdenticalBodyWhileBusyIsDropped", {Step::HeldPost, Step::HeldPost}, 1, 1},
        DuplicateCase{"ThirdIdenticalBodyIsProcessed",
                      {Step::HeldPost, Step::HeldPost, Step::HeldPost},
                      2,
                      1},
        DuplicateCase{
            "GetInBetweenMakesItDiffer", {Step::HeldPost, Step::Get, Step::HeldPost}, 2, 0},
        DuplicateCase{"AfterTheWindowClosedBothAreProcessed",
                      {Step::HeldPost, Step::Release, Step::HeldPost},
                      2,
                      0}),
    [](const auto &p) { return std::string(p.param.name); });

TEST_F(RequestIntakeTest, DuplicateLineCarriesTheInterval)
{
    auto window = std::make_shared<BlockingLauncher>();
    intake.dispatchTable().registerLauncher("1", window);
    std::thread first([&] { intake.handleRequest("POST", kOrder); });
    ASSERT_TRUE(window->waitForLaunches(1));
    clock.now.millisecond += 250;
    intake.handleRequest("POST", kOrder);
    EXPECT_EQ(log.lines().back(), "间隔0.25秒，两次发送内容一样");
    window->releaseAll();
    first.join();
}

} // namespace
} // namespace tally::service
