#include "sync/CnxMutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "sync/CnxEvent.h"

namespace {

// Each test takes a folder of its own, so parallel test runs and a running program never meet.
class CnxMutexTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    std::unique_ptr<CnxMutex> Open() const { return std::make_unique<CnxMutex>(name, folder); }

    QTemporaryDir folder_;
    const std::string folder = folder_.path().toStdString();
    const std::string name = "K740RX";
};

// The text of the CnxMutexException the call throws; empty when it throws nothing.
template <typename Call>
std::string ThrownBy(Call call) {
    try {
        call();
    } catch (const CnxMutexException& e) {
        return e.what();
    }
    return "";
}

// What Lock(timeout) on `mutex` from another thread throws; empty when it succeeds (the lock is
// then left to that thread, which ends without unlocking).
std::string LockFromOtherThread(CnxMutex& mutex, std::uint32_t timeoutMs) {
    std::string thrown;
    std::thread([&] { thrown = ThrownBy([&] { mutex.Lock(timeoutMs); }); }).join();
    return thrown;
}

}  // namespace

TEST_F(CnxMutexTest, SecondObjectOfTheSameNameFindsTheLockHeldUntilTheFirstIsGone) {
    auto first = Open();
    EXPECT_FALSE(first->AlreadyExisted());
    CnxMutex second(name, folder);
    EXPECT_TRUE(second.AlreadyExisted());
    EXPECT_EQ(ThrownBy([&] { second.Lock(0); }), "Mutex Timemout");

    first.reset();
    EXPECT_TRUE(second.Lock(0));
    EXPECT_TRUE(Open()->AlreadyExisted());
    EXPECT_TRUE(second.Unlock());
    EXPECT_FALSE(Open()->AlreadyExisted());
}

TEST_F(CnxMutexTest, OnlyTheOwnerThreadMayLockAgainAndMustUnlockAsOften) {
    CnxMutex mutex(name, folder);
    EXPECT_EQ(LockFromOtherThread(mutex, 0), "Mutex Timemout");
    EXPECT_EQ(LockFromOtherThread(mutex, 30), "Mutex Timemout");

    EXPECT_TRUE(mutex.Lock(0));
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(LockFromOtherThread(mutex, 0), "Mutex Timemout");
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_EQ(ThrownBy([&] { mutex.Unlock(); }), "Operation not permitted");
}

TEST_F(CnxMutexTest, ALockLeftByAnEndedThreadIsAbandonedToTheNextLocker) {
    CnxMutex mutex(name, folder);
    std::string thrown = "not run";
    std::thread waiter([&] {
        thrown = LockFromOtherThread(mutex, INFINITE);
        // A lock left by an ended thread is abandoned: the next locker owns it and is told.
        thrown += "|" + ThrownBy([&] { mutex.Lock(INFINITE); });
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
        CnxMutex held(name, folder);
        const char owned = held.AlreadyExisted() ? 'n' : 'y';
        (void)!write(pipeFds[1], &owned, 1);
        pause();
        _exit(0);
    }
    char owned = 0;
    ASSERT_EQ(read(pipeFds[0], &owned, 1), 1);
    EXPECT_EQ(owned, 'y');
    EXPECT_TRUE(Open()->AlreadyExisted());

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_FALSE(Open()->AlreadyExisted());
    close(pipeFds[0]);
    close(pipeFds[1]);
}

TEST_F(CnxMutexTest, TheLockBelongsToItsFolderAlone) {
    const auto held = Open();
    EXPECT_FALSE(held->AlreadyExisted());
    EXPECT_TRUE(std::filesystem::is_regular_file(CnxMutex::LockFilePath(name, folder)));
    // Another folder is another lock, the same folder the same lock, whatever else differs.
    QTemporaryDir other;
    EXPECT_FALSE(CnxMutex(name, other.path().toStdString()).AlreadyExisted());
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", other.path().toUtf8());
    EXPECT_TRUE(Open()->AlreadyExisted());
    qputenv("XDG_RUNTIME_DIR", runtime);
}

TEST_F(CnxMutexTest, ALockFileThatCannotBeUsedThrowsTheSystemsReason) {
    namespace fs = std::filesystem;
    const std::string path = CnxMutex::LockFilePath(name, folder);
    fs::create_directory(path);
    EXPECT_EQ(ThrownBy([&] { Open(); }), "Is a directory");

    fs::remove(path);
    fs::create_symlink(folder + "/elsewhere", path);
    EXPECT_THROW(Open(), CnxMutexException);
    EXPECT_FALSE(fs::exists(folder + "/elsewhere")) << "the link was followed";

    EXPECT_THROW(CnxMutex(name, folder + "/missing"), CnxMutexException);
}
