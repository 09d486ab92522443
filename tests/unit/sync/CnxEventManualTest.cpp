#include "sync/CnxEventManual.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CnxEventManual, StaysSignalledUntilResetAndSharesItsStateWithItsNamesakes) {
    CnxEventManual event;
    EXPECT_EQ(event.Wait(20), WAIT_TIMEOUT);
    EXPECT_TRUE(event.Set());
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(event.Reset());
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);

    CnxEventManual first("k740rx-test-event");
    CnxEventManual second("k740rx-test-event");
    CnxEventManual otherName("k740rx-test-other");
    first.Set();
    EXPECT_EQ(second.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT);  // an unnamed one stays apart
    EXPECT_EQ(otherName.Wait(0), WAIT_TIMEOUT);
    second.Reset();
    EXPECT_EQ(first.Wait(0), WAIT_TIMEOUT);
}

TEST(CnxEventManual, SetReleasesEveryWaitingThread) {
    CnxEventManual event;
    std::vector<std::uint32_t> results(3, 12345);
    std::vector<std::thread> waiters;
    for (std::uint32_t& result : results) {
        waiters.emplace_back([&event, &result] { result = event.Wait(INFINITE); });
    }
    std::uint32_t timedOut = 0;
    std::thread impatient([&] { timedOut = event.Wait(10); });
    impatient.join();
    event.Set();
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(timedOut, WAIT_TIMEOUT);
    EXPECT_EQ(results, std::vector<std::uint32_t>(3, WAIT_OBJECT_0));
}

// An event whose creation failed keeps a null handle; waiting on it is a system failure.
class UncreatedEvent : public CnxEvent {
public:
    bool Set() override { return false; }
};

TEST(CnxEvent, WaitOnAnEventWithoutHandleThrows) {
    UncreatedEvent event;
    try {
        event.Wait(0);
        ADD_FAILURE() << "Wait without handle succeeded";
    } catch (const CnxEventException& e) {
        EXPECT_STREQ(e.what(), "Bad file descriptor");
    }
}
