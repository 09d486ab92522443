#include "scanner/CnxScanRun.h"

#include <gtest/gtest.h>

using State = CnxScanRun::State;

TEST(CnxScanRun, EachSlotGoesThroughItsOwnStatesAndKeepsItsFrequencyBeforeTheScan) {
    CnxScanRun run;
    EXPECT_EQ(run.GetState(2), State::kStopped);
    EXPECT_FALSE(run.Pause(2));
    EXPECT_FALSE(run.Stop(2));

    ASSERT_TRUE(run.Start(2, 142750000));
    EXPECT_TRUE(run.IsScanning(2));
    EXPECT_FALSE(run.Start(2, 150000000));
    EXPECT_EQ(run.GetState(3), State::kStopped);

    // Pausing and resuming keeps the frequency the slot had before its scan began.
    ASSERT_TRUE(run.Pause(2));
    EXPECT_TRUE(run.IsPaused(2));
    EXPECT_TRUE(run.IsActive(2));
    EXPECT_FALSE(run.IsScanning(2));
    EXPECT_FALSE(run.Pause(2));
    ASSERT_TRUE(run.Start(2, 155000000));
    EXPECT_EQ(run.GetFrequencyBeforeScan(2), 142750000);

    ASSERT_TRUE(run.Stop(2));
    EXPECT_FALSE(run.IsActive(2));
    EXPECT_FALSE(run.Stop(2));
    EXPECT_EQ(run.GetFrequencyBeforeScan(2), 142750000);

    // A paused scan can be stopped; a new scan remembers the frequency anew.
    ASSERT_TRUE(run.Start(2, 160000000));
    ASSERT_TRUE(run.Pause(2));
    ASSERT_TRUE(run.Stop(2));
    ASSERT_TRUE(run.Start(2, 170000000));
    EXPECT_EQ(run.GetFrequencyBeforeScan(2), 170000000);

    EXPECT_FALSE(run.Start(-1, 1));
    EXPECT_FALSE(run.Start(CnxScanRun::kSlotCount, 1));
    EXPECT_EQ(run.GetState(99), State::kStopped);
}
