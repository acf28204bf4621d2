#include "engine/Scheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terrabo {
namespace {

TEST(SchedulerUpdates, RunByPriorityGroupThenRegistrationOrder) {
    Scheduler scheduler;
    std::vector<std::string> order;
    const char names[] = "abcdef";
    const int priorities[] = {1, 0, -1, 0, -5, 7};
    for (int i = 0; i < 6; ++i)
        scheduler.scheduleUpdate(&names[i], priorities[i], false,
                                 [&order, i, &names](float) { order.emplace_back(1, names[i]); });
    scheduler.tick(0.1f);
    EXPECT_EQ(order, (std::vector<std::string>{"c", "e", "b", "d", "a", "f"}));
}

TEST(SchedulerUpdates, RegisteringDuringATickRunsNoUpdateTwice) {
    Scheduler scheduler;
    int early = 0, late = 0, lateBy = 0, added = 0;
    scheduler.scheduleUpdate(&early, -1, false, [&](float) { ++early; });
    scheduler.scheduleUpdate(&lateBy, 0, false, [&](float) {
        ++lateBy;
        // Lands in a group ahead of the running update.
        scheduler.scheduleUpdate(&added, -2, false, [&](float) { ++added; });
    });
    scheduler.scheduleUpdate(&late, 1, false, [&](float) { ++late; });

    scheduler.tick(0.1f);
    EXPECT_EQ(early, 1);
    EXPECT_EQ(lateBy, 1);
    EXPECT_EQ(late, 1);

    scheduler.tick(0.1f);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(lateBy, 2);
    EXPECT_EQ(late, 2);
}

TEST(SchedulerUpdates, JoiningBehindTheRunningUpdateRunsInTheSameTick) {
    // How the action runner joins when the first action starts inside an update.
    Scheduler scheduler;
    int first = 0, joined = 0;
    scheduler.scheduleUpdate(&first, 0, false, [&](float) {
        ++first;
        scheduler.scheduleUpdate(&joined, 0, false, [&](float) { ++joined; });
    });
    scheduler.tick(0.1f);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(joined, 1);
}

TEST(SchedulerUpdates, UnscheduledDuringATickDoesNotRun) {
    Scheduler scheduler;
    int a = 0, b = 0;
    scheduler.scheduleUpdate(&a, 0, false, [&](float) {
        ++a;
        scheduler.unscheduleUpdate(&b);
    });
    scheduler.scheduleUpdate(&b, 0, false, [&](float) { ++b; });
    scheduler.tick(0.1f);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    EXPECT_FALSE(scheduler.hasUpdate(&b));
}

TEST(SchedulerUpdates, PausedTargetsAreSkippedUntilResumed) {
    Scheduler scheduler;
    int calls = 0;
    scheduler.scheduleUpdate(&calls, 0, true, [&](float) { ++calls; });
    scheduler.tick(0.1f);
    EXPECT_EQ(calls, 0);
    scheduler.resumeTarget(&calls);
    scheduler.tick(0.1f);
    EXPECT_EQ(calls, 1);
    scheduler.pauseTarget(&calls);
    scheduler.tick(0.1f);
    EXPECT_EQ(calls, 1);
}

class SchedulerTimers : public testing::Test {
protected:
    void schedule(float interval, bool paused = false) {
        scheduler.schedule(&target, "zoom", [this] { ++fired; }, interval, paused);
    }
    Scheduler scheduler;
    int target = 0;
    int fired = 0;
};

TEST_F(SchedulerTimers, SchedulingAgainKeepsOneTimerWithTheNewInterval) {
    schedule(0.5f);
    schedule(0.25f);
    EXPECT_EQ(scheduler.timerCount(&target, "zoom"), 1);
    ASSERT_NE(scheduler.timerInterval(&target, "zoom"), nullptr);
    EXPECT_EQ(*scheduler.timerInterval(&target, "zoom"), 0.25f);

    scheduler.tick(0.25f);
    scheduler.tick(0.25f);
    EXPECT_EQ(fired, 1) << "fires once per interval, not once per scheduling";
}

TEST_F(SchedulerTimers, CountsFromTheFirstTickAfterScheduling) {
    schedule(0.5f);
    const int expected[] = {0, 0, 1, 1, 2};
    for (int i = 0; i < 5; ++i) {
        scheduler.tick(0.25f);
        EXPECT_EQ(fired, expected[i]) << "after tick " << i + 1;
    }
}

TEST_F(SchedulerTimers, FiresAtMostOncePerTick) {
    schedule(0.1f);
    scheduler.tick(0.0f);
    scheduler.tick(1.0f);
    EXPECT_EQ(fired, 1);
    scheduler.tick(0.05f);
    EXPECT_EQ(fired, 1) << "a long tick leaves no backlog";
}

TEST_F(SchedulerTimers, PausedTimerNeitherCountsNorFires) {
    schedule(0.25f, true);
    for (int i = 0; i < 4; ++i)
        scheduler.tick(0.25f);
    EXPECT_EQ(fired, 0);
    scheduler.resumeTarget(&target);
    scheduler.tick(0.25f);
    scheduler.tick(0.25f);
    EXPECT_EQ(fired, 1);
}

TEST_F(SchedulerTimers, UnscheduledTimerStops) {
    schedule(0.0f);
    scheduler.tick(0.1f);
    scheduler.tick(0.1f);
    ASSERT_EQ(fired, 1);
    scheduler.unschedule(&target, "zoom");
    scheduler.tick(0.1f);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(scheduler.timerCount(&target, "zoom"), 0);
}

} // namespace
} // namespace terrabo
