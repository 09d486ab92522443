#include "sync/CnxCriticalSection.h"

#include <gtest/gtest.h>

#include <thread>

#include "sync/CnxEventManual.h"

TEST(CnxCriticalSection, UnlockNeedsAMatchingLockOfTheCallingThread) {
    CnxCriticalSection section;
    EXPECT_FALSE(section.Unlock());
    EXPECT_TRUE(section.Lock());
    EXPECT_TRUE(section.Lock());
    EXPECT_TRUE(section.Unlock());
    EXPECT_TRUE(section.Unlock());
    EXPECT_FALSE(section.Unlock());
}

TEST(CnxCriticalSection, OtherThreadsWaitUntilTheOwnerHasLeftEveryLevel) {
    CnxCriticalSection section;
    CnxEventManual entered;
    bool othersUnlockWhileHeld = true;
    section.Lock();
    section.Lock();
    std::thread other([&] {
        section.Lock();
        entered.Set();
        section.Unlock();
    });
    std::thread stranger([&] { othersUnlockWhileHeld = section.Unlock(); });
    stranger.join();
    EXPECT_FALSE(othersUnlockWhileHeld);

    section.Unlock();
    EXPECT_EQ(entered.Wait(50), WAIT_TIMEOUT);
    section.Unlock();
    EXPECT_EQ(entered.Wait(10000), WAIT_OBJECT_0);
    other.join();
}
