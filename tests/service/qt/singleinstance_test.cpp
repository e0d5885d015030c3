#include "service/qt/singleinstance.h"

#include <QUuid>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace tally::service {
namespace {

QString uniqueName()
{
    return QStringLiteral("TallyhostTest-") + QUuid::createUuid().toString(QUuid::Id128);
}

TEST(SingleInstanceTest, SecondInstanceIsRefusedUntilTheFirstEnds)
{
    const QString name = uniqueName();
    auto first = std::make_unique<SingleInstance>(name);
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire()); // holding it already
    SingleInstance second(name);
    EXPECT_FALSE(second.tryAcquire());
    SingleInstance other(uniqueName());
    EXPECT_TRUE(other.tryAcquire());
    first.reset();
    EXPECT_TRUE(second.tryAcquire());
}

TEST(SingleInstanceTest, CrashedInstanceDoesNotBlockTheNextStart)
{
    const QString name = uniqueName();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance crashed(name);
        // Ends without any clean-up, as a crash would.
        _exit(crashed.tryAcquire() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    SingleInstance next(name);
    EXPECT_TRUE(next.tryAcquire());
}

} // namespace
} // namespace tally::service
