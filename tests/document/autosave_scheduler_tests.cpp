#include <gtest/gtest.h>

#include "document/autosave_scheduler.h"
#include "fake_clock.h"

namespace qe {
namespace {

using namespace std::chrono_literals;

class AutosaveSchedulerTest : public ::testing::Test {
protected:
    AutosaveSchedulerTest() {
        QObject::connect(&scheduler, &AutosaveScheduler::due, [this] { ++writes; });
    }
    // Moves the clock in steps of `step`, looking each time as the scheduler's timer would.
    void pass(std::chrono::milliseconds total, std::chrono::milliseconds step = 100ms) {
        for (auto t = 0ms; t < total; t += step) {
            clock.advance(step);
            scheduler.poll();
        }
    }

    test::FakeClock clock;
    AutosaveScheduler scheduler{clock, 30s};
    int writes = 0;
};

TEST_F(AutosaveSchedulerTest, AChangeIsWrittenOneIntervalLaterAndOnlyOnce) {
    scheduler.edited();
    pass(29'900ms);
    EXPECT_EQ(writes, 0);
    pass(100ms);
    EXPECT_EQ(writes, 1);
    // Nothing changed since: an idle score is not written again and again.
    pass(10min, 1s);
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(scheduler.pending());
}

TEST_F(AutosaveSchedulerTest, TypingWithoutAPauseIsStillWrittenEveryInterval) {
    // A keystroke every second for a minute and a half.
    for (int second = 0; second < 95; ++second) {
        scheduler.edited();
        pass(1s);
    }
    EXPECT_EQ(writes, 3);
    // The change after the last write is written one interval after it.
    pass(30s);
    EXPECT_EQ(writes, 4);
}

TEST_F(AutosaveSchedulerTest, TheIntervalStartsAtTheFirstChangeAfterAWrite) {
    scheduler.edited();
    pass(30s);
    ASSERT_EQ(writes, 1);
    pass(5min, 1s);
    scheduler.edited();
    EXPECT_EQ(scheduler.remaining(), 30s);
    pass(29s);
    EXPECT_EQ(writes, 1);
    pass(1s);
    EXPECT_EQ(writes, 2);
}

TEST_F(AutosaveSchedulerTest, SavingCancelsTheWrite) {
    scheduler.edited();
    pass(20s);
    scheduler.cancel();
    pass(1min);
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(scheduler.remaining(), 0ms);
}

}  // namespace
}  // namespace qe
