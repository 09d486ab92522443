#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "MessageRecorder.h"
#include "TestSupport.h"
#include "core/TmyApplication.h"
#include "core/TmyComponent.h"
#include "core/TmyEvents.h"
#include "core/TmyMessageQueue.h"

namespace {

using Recorder = MessageRecorder;

TEST(TmyMessaging, PostedMessagesArriveInOrderFromManyThreads) {
    EnsureCoreApp();
    Recorder target;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                ASSERT_TRUE(PostMessage(target.GetHandle(), WM_USER + 1, t, i));
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    ASSERT_TRUE(PumpUntil([&] { return target.messages.size() == kThreads * kPerThread; }));
    // Each sender's messages keep their order.
    std::vector<LPARAM> last(kThreads, -1);
    for (const TmyMessage& m : target.messages) {
        EXPECT_EQ(m.hwnd, target.GetHandle());
        EXPECT_EQ(m.lParam, last[m.wParam] + 1);
        last[m.wParam] = m.lParam;
    }
}

TEST(TmyMessaging, GoneTargetsAreHarmlessAndHandlersMayDestroyThem) {
    EnsureCoreApp();
    HWND handle;
    {
        Recorder target;
        handle = target.GetHandle();
        EXPECT_TRUE(PostMessage(handle, WM_USER, 1, 2));
    }  // destroyed with a message still queued: it must simply be dropped
    EXPECT_FALSE(PostMessage(handle, WM_USER, 1, 2));
    EXPECT_FALSE(PostMessage(0, WM_USER, 1, 2));
    PumpFor(50ms);

    Recorder next;
    EXPECT_NE(next.GetHandle(), handle);  // handles are never reused

    // A handler may post and destroy other targets, also one with a message still queued.
    auto victim = std::make_unique<Recorder>();
    const HWND victimHandle = victim->GetHandle();
    Recorder target;
    target.onMessage = [&](const TmyMessage& m) {
        if (m.message == WM_USER + 1) {
            victim.reset();
            PostMessage(target.GetHandle(), WM_USER + 2, 0, 0);
        }
    };
    PostMessage(target.GetHandle(), WM_USER + 1, 0, 0);
    PostMessage(victimHandle, WM_USER + 9, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return target.messages.size() == 2; }));
    EXPECT_EQ(target.messages[1].message, WM_USER + 2);
}

TEST(TmyMessaging, TimersTickUntilKilled) {
    EnsureCoreApp();
    Recorder target;
    ASSERT_TRUE(target.SetTimer(7, 10));
    ASSERT_TRUE(target.SetTimer(8, 15));
    ASSERT_TRUE(PumpUntil([&] {
        return std::count(target.ticks.begin(), target.ticks.end(), 7u) >= 3 &&
               std::count(target.ticks.begin(), target.ticks.end(), 8u) >= 2;
    }));
    EXPECT_TRUE(target.KillTimer(7));
    EXPECT_FALSE(target.KillTimer(7));
    const auto sevens = std::count(target.ticks.begin(), target.ticks.end(), 7u);
    PumpFor(80ms);
    EXPECT_EQ(std::count(target.ticks.begin(), target.ticks.end(), 7u), sevens);
}

TEST(TmyMessaging, SleepHoldsMessagesAndTicksThenDeliversThemInOrder) {
    EnsureCoreApp();
    Recorder target;
    ASSERT_TRUE(target.SetTimer(1, 5));
    PostMessage(target.GetHandle(), WM_USER, 0, 0);
    std::thread poster([&] {
        for (int i = 1; i <= 100; ++i) {
            PostMessage(target.GetHandle(), WM_USER, 0, i);
        }
    });
    TmySleep(120);
    // Nothing was delivered while the window thread "slept"...
    EXPECT_TRUE(target.messages.empty());
    EXPECT_TRUE(target.ticks.empty());
    poster.join();
    // ...and afterwards every message arrives in order, and the timer ticks again.
    ASSERT_TRUE(PumpUntil([&] { return target.messages.size() >= 101 && !target.ticks.empty(); }));
    ASSERT_EQ(target.messages.size(), 101u);
    for (std::size_t i = 0; i < target.messages.size(); ++i) {
        EXPECT_EQ(target.messages[i].lParam, LPARAM(i));
    }
}

TEST(TmyMessaging, QueuedMessagesReachANestedLoopInOrder) {
    EnsureCoreApp();
    Recorder target;
    bool restArrivedInside = false;
    target.onMessage = [&](const TmyMessage& m) {
        if (m.lParam == 1) {
            // A modal dialog's loop inside the handler: nobody posts again, yet the messages
            // queued behind this one must arrive here.
            restArrivedInside = PumpUntil([&] { return target.messages.size() == 3; }, 3s);
        }
    };
    for (LPARAM i = 1; i <= 3; ++i) {
        PostMessage(target.GetHandle(), WM_USER, 0, i);
    }
    ASSERT_TRUE(PumpUntil([&] { return target.messages.size() == 3; }));
    EXPECT_TRUE(restArrivedInside);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(target.messages[i].lParam, LPARAM(i + 1));
    }
}

// A device hands its buffers back before it closes: from inside a handler it asks for the notices
// still waiting for it, some already taken into the batch being delivered, some still posted.
TEST(TmyMessaging, MessagesDispatchedFromInsideAHandlerArriveExactlyOnce) {
    EnsureCoreApp();
    Recorder device;
    Recorder other;
    other.onMessage = [&](const TmyMessage& m) {
        if (m.lParam == 1) {
            PostMessage(device.GetHandle(), WM_USER, 0, 4);  // not in the batch yet
            TmyMessageQueue::ForCurrentThread().DispatchWaiting(device.GetHandle());
            EXPECT_EQ(device.messages.size(), 2u) << "both were delivered inside the handler";
        }
    };
    PostMessage(other.GetHandle(), WM_USER, 0, 1);
    PostMessage(device.GetHandle(), WM_USER, 0, 2);
    PostMessage(other.GetHandle(), WM_USER, 0, 3);
    ASSERT_TRUE(PumpUntil([&] { return other.messages.size() == 2; }));
    PumpFor(50ms);
    std::vector<LPARAM> delivered;
    for (const TmyMessage& m : device.messages) {
        delivered.push_back(m.lParam);
    }
    EXPECT_EQ(delivered, (std::vector<LPARAM>{2, 4}));
    EXPECT_EQ(other.messages.back().lParam, 3);
}

TEST(TmyMessaging, ALongDrainLetsOtherEventsThrough) {
    EnsureCoreApp();
    Recorder target;
    // All the messages together take far longer than the slice a drain may hold the thread.
    target.onMessage = [](const TmyMessage&) {
        const auto until = std::chrono::steady_clock::now() + 200us;
        while (std::chrono::steady_clock::now() < until) {
        }
    };
    constexpr std::size_t kCount = 200;
    for (std::size_t i = 0; i < kCount; ++i) {
        PostMessage(target.GetHandle(), WM_USER, 0, 0);
    }
    // Queued behind the messages' wake-up: painting or input would wait the same way.
    QObject other;
    std::size_t deliveredBefore = kCount;
    QTimer::singleShot(0, &other, [&] { deliveredBefore = target.messages.size(); });
    ASSERT_TRUE(PumpUntil([&] { return target.messages.size() == kCount; }));
    EXPECT_LT(deliveredBefore, kCount);
}

TEST(TmyApplication, QuitBeforeRunReturnsAtOnceAndQuitEndsTheLoop) {
    EnsureCoreApp();
    TmyApplication early;
    early.Quit();
    early.Run();  // must not block

    TmyApplication app;
    Recorder target;
    target.onMessage = [&](const TmyMessage&) { app.Quit(); };
    PostMessage(target.GetHandle(), WM_USER, 0, 0);
    app.Run();
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_EQ(target.messages.size(), 1u);
}

// A modal box's loop runs nested in the program's: ending the program ends it too, and once the
// program is ending no box waits at all.
TEST(TmyApplication, QuitEndsTheLoopsOfOpenBoxes) {
    EnsureCoreApp();
    TmyApplication app;
    Recorder target;
    // Whether a box waited for its own 30 s guard, there so that a failure cannot hang the test.
    const auto boxWaitedForItsGuard = [&] {
        QEventLoop box;
        QTimer::singleShot(30s, &box, &QEventLoop::quit);
        QElapsedTimer waited;
        waited.start();
        app.RunNested(box);
        return waited.elapsed() >= 30000;
    };
    bool openBoxWaited = true;
    bool lateBoxWaited = true;
    target.onMessage = [&](const TmyMessage& m) {
        if (m.lParam == 1) {
            PostMessage(target.GetHandle(), WM_USER, 0, 2);  // the close, delivered in the box
            openBoxWaited = boxWaitedForItsGuard();
            lateBoxWaited = boxWaitedForItsGuard();
        } else {
            app.Quit();
        }
    };
    PostMessage(target.GetHandle(), WM_USER, 0, 1);
    app.Run();
    EXPECT_FALSE(openBoxWaited);
    EXPECT_FALSE(lateBoxWaited);
    EXPECT_EQ(target.messages.size(), 2u);
}

struct Listener {
    std::vector<int> seen;
    void OnValue(void*, int v) { seen.push_back(v); }
    void OnSlot(void*, int v, std::intptr_t extra) { seen.push_back(v * 100 + int(extra)); }
};

TEST(TmyEvents, ListsCallEveryHandlerAndSlotsKeepOne) {
    TmyEventList<int> list;
    Listener a, b;
    auto fromA = list.Subscribe(&a, &Listener::OnValue);
    auto fromB = list.Subscribe(&b, &Listener::OnValue);
    list.Raise(nullptr, 3);
    fromA.Cancel();
    list.Raise(nullptr, 4);
    EXPECT_EQ(a.seen, (std::vector<int>{3}));
    EXPECT_EQ(b.seen, (std::vector<int>{3, 4}));

    // A handler that ends its own and a later subscription while being raised: the later one is
    // not called, the others are.
    Listener d;
    TmySubscription fromC;
    TmySubscription fromD;
    fromC = list.Subscribe([&](void*, int) {
        fromC.Cancel();
        fromD.Cancel();
    });
    fromD = list.Subscribe(&d, &Listener::OnValue);
    list.Raise(nullptr, 5);
    EXPECT_EQ(b.seen.back(), 5);
    EXPECT_TRUE(d.seen.empty());
    EXPECT_EQ(list.Count(), 1u);

    TmyEventSlot<int> slot;
    slot.Raise(nullptr, 1);  // empty: nothing happens
    auto slotA = slot.Set(&a, &Listener::OnSlot, 7);
    auto slotB = slot.Set(&b, &Listener::OnSlot, 9);  // replaces the first handler
    slotA.Cancel();                                   // no longer its handler: nothing changes
    slot.Raise(nullptr, 2);
    EXPECT_EQ(a.seen, (std::vector<int>{3}));
    EXPECT_EQ(b.seen.back(), 209);
    slotB.Cancel();
    EXPECT_FALSE(slot.IsSet());
}

TEST(TmyEvents, ASubscriberThatGoesIsNeverCalledAndEitherSideMayGoFirst) {
    TmyEventList<int> list;
    TmyEventSlot<int> slot;
    std::vector<int> seen;
    {
        struct Subscriber {
            std::vector<int>& seen;
            TmySubscriptions subscriptions;
        } gone{seen, {}};
        gone.subscriptions.push_back(list.Subscribe([&](void*, int v) { gone.seen.push_back(v); }));
        gone.subscriptions.push_back(slot.Set([&](void*, int v) { gone.seen.push_back(-v); }));
        list.Raise(nullptr, 1);
        slot.Raise(nullptr, 1);
    }
    list.Raise(nullptr, 2);
    slot.Raise(nullptr, 2);
    EXPECT_EQ(seen, (std::vector<int>{1, -1}));
    EXPECT_EQ(list.Count(), 0u);

    // The source goes first: the subscription ends later without touching it.
    TmySubscription outliving;
    {
        TmyEventList<int> shortLived;
        outliving = shortLived.Subscribe([&](void*, int v) { seen.push_back(v); });
        shortLived.Raise(nullptr, 3);
    }
    outliving.Cancel();
    EXPECT_EQ(seen.back(), 3);
}

}  // namespace
