#include "sync/CnxMutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "sync/CnxEvent.h"

namespace {

// Each test takes a lock name of its own, so parallel test runs and a running program never meet.
class CnxMutexTest : public testing::Test {
protected:
    void TearDown() override { unlink(CnxMutex::LockFilePath(name).c_str()); }

    const std::string name = "k740rx-test-" + std::to_string(getpid()) + "-" +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
};

// What Lock(timeout) on `mutex` from another thread throws; empty when it succeeds (the lock is
// then left to that thread, which ends without unlocking).
std::string LockFromOtherThread(CnxMutex& mutex, std::uint32_t timeoutMs) {
    std::string thrown;
    std::thread other([&] {
        try {
            mutex.Lock(timeoutMs);
        } catch (const CnxMutexException& e) {
            thrown = e.what();
        }
    });
    other.join();
    return thrown;
}

}  // namespace

TEST_F(CnxMutexTest, SecondObjectOfTheSameNameFindsTheLockHeldUntilTheFirstIsGone) {
    auto first = std::make_unique<CnxMutex>(name);
    EXPECT_FALSE(first->AlreadyExisted());
    CnxMutex second(name);
    EXPECT_TRUE(second.AlreadyExisted());
    try {
        second.Lock(0);
        ADD_FAILURE() << "Lock(0) on a held lock succeeded";
    } catch (const CnxMutexException& e) {
        EXPECT_STREQ(e.what(), "Mutex Timemout");
    }

    first.reset();
    EXPECT_TRUE(second.Lock(0));
    EXPECT_TRUE(CnxMutex(name).AlreadyExisted());
    EXPECT_TRUE(second.Unlock());
    EXPECT_FALSE(CnxMutex(name).AlreadyExisted());
}

TEST_F(CnxMutexTest, OnlyTheOwnerThreadMayLockAgainAndMustUnlockAsOften) {
    CnxMutex mutex(name);
    EXPECT_EQ(LockFromOtherThread(mutex, 0), "Mutex Timemout");
    EXPECT_EQ(LockFromOtherThread(mutex, 30), "Mutex Timemout");

    EXPECT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(LockFromOtherThread(mutex, 0), "Mutex Timemout");
    EXPECT_TRUE(mutex.Unlock());

    try {
        mutex.Unlock();
        ADD_FAILURE() << "Unlock without ownership succeeded";
    } catch (const CnxMutexException& e) {
        EXPECT_STREQ(e.what(), "Operation not permitted");
    }
}

TEST_F(CnxMutexTest, ALockLeftByAnEndedThreadIsAbandonedToTheNextLocker) {
    CnxMutex mutex(name);
    std::string thrown = "not run";
    std::thread waiter([&] {
        thrown = LockFromOtherThread(mutex, INFINITE);
        // A lock left by an ended thread is abandoned: the next locker owns it and is told.
        try {
            mutex.Lock(INFINITE);
            thrown += "|no exception";
        } catch (const CnxMutexException& e) {
            thrown += std::string("|") + e.what();
        }
        mutex.Unlock();
    });
    EXPECT_TRUE(mutex.Unlock());
    waiter.join();
    EXPECT_EQ(thrown, "|Mutex Abandoned");
    EXPECT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.Unlock());
}

TEST_F(CnxMutexTest, AProcessThatIsKilledReleasesTheLockAtOnce) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CnxMutex held(name);
        const char owned = held.AlreadyExisted() ? 'n' : 'y';
        (void)!write(pipeFds[1], &owned, 1);
        pause();
        _exit(0);
    }
    char owned = 0;
    ASSERT_EQ(read(pipeFds[0], &owned, 1), 1);
    EXPECT_EQ(owned, 'y');
    EXPECT_TRUE(CnxMutex(name).AlreadyExisted());

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(CnxMutex(name).AlreadyExisted());
    close(pipeFds[0]);
    close(pipeFds[1]);
}
