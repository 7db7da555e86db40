#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <QTimer>
#include <thread>

#include "platform/waituntil.h"

namespace {

// endAll() holds for the rest of the process, so those tests run in a child
// process of their own.
class WaitUntilEndingTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // Should the wait never wake, the flag is set after a long while so that
    // the child ends (and the test fails) instead of hanging.
    static bool waitWithFallback() {
        bool fallback = false;
        QTimer::singleShot(30000, [&fallback] { fallback = true; });
        return waitUntil([&fallback] { return fallback; });
    }
};

TEST(WaitUntil, ReturnsOnceATimerHandlerSetsTheFlag) {
    bool done = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { done = ++ticks == 3; });
    timer.start(1);
    EXPECT_TRUE(waitUntil([&done] { return done; }));
    EXPECT_EQ(ticks, 3);
}

// A timed wait gives up when nothing makes done() hold, and says whether
// it held when something did in time.
TEST(WaitUntil, ATimedWaitEndsAtItsTimeOrWhenDone) {
    EXPECT_FALSE(waitUntil([] { return false; }, 20));
    bool fired = false;
    QTimer::singleShot(1, [&fired] { fired = true; });
    EXPECT_TRUE(waitUntil([&fired] { return fired; }, 30000));
}

// A request deadline holds for the code in its scope: a handler that runs
// while that code waits (a sync started during a sentence check) makes its
// requests unbounded by it.
TEST(WaitUntil, AHandlerRunInAWaitIsNotHeldToTheDeadlineOfTheCodeThatWaits) {
    const HttpDeadline limit(std::chrono::milliseconds(0));
    bool handlerBound = true;
    QTimer::singleShot(0, [&handlerBound] { handlerBound = !HttpDeadline::current().isForever(); });
    EXPECT_FALSE(waitUntil([] { return false; }, 20));
    EXPECT_FALSE(handlerBound);
    EXPECT_TRUE(HttpDeadline::current().hasExpired());
}

TEST_F(WaitUntilEndingTest, EndAllMakesEveryLaterWaitReturnFalse) {
    EXPECT_EXIT(
        {
            waits::endAll();
            const bool first = waitWithFallback();
            const bool second = waitUntil([] { return false; });
            std::exit(!first && !second && waits::ending() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(WaitUntilEndingTest, EndAllFromAHandlerEndsTheWaitInProgress) {
    EXPECT_EXIT(
        {
            QTimer::singleShot(1, [] { waits::endAll(); });
            std::exit(waitWithFallback() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(WaitUntilEndingTest, EndAllFromAnotherThreadWakesASleepingWait) {
    EXPECT_EXIT(
        {
            std::thread ender([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                waits::endAll();
            });
            const bool result = waitWithFallback();
            ender.join();
            std::exit(result ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
