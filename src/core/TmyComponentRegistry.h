#pragma once
// Process-wide: which mailbox each window handle belongs to, and the handles themselves. A handle
// carries its mailbox's number in its low bits, so posting finds the mailbox without a shared lock;
// the mailbox then knows whether the target is still alive. Handles come from one counter and are
// never reused.
#include "core/TmyTypes.h"

class TmyComponent;
class TmyMailbox;

class TmyComponentRegistry {
public:
    // Threads with message targets at the same time.
    static constexpr unsigned kIndexBits = 10;
    static constexpr unsigned kMaxMailboxes = 1u << kIndexBits;

    // A mailbox for the calling thread: one a finished thread left behind, else a new one.
    static TmyMailbox& Acquire();
    // Hands a mailbox back once its thread has closed it.
    static void Release(TmyMailbox& mailbox);

    static HWND NewHandle(const TmyMailbox& mailbox);
    static bool Post(const TmyMessage& message);

    static void Deliver(TmyComponent& target, const TmyMessage& message);
    static void Tick(TmyComponent& target, UINT id);
};
