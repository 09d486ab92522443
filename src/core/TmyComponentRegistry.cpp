#include "core/TmyComponentRegistry.h"

#include <QtGlobal>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "core/TmyComponent.h"
#include "core/TmyMailbox.h"

namespace {

// Entries are written once, under the lock, and never change afterwards.
std::array<std::atomic<TmyMailbox*>, TmyComponentRegistry::kMaxMailboxes> g_mailboxes{};
std::mutex g_mutex;  // taken only when a thread gets or gives back its mailbox
unsigned g_mailboxCount = 0;
std::vector<TmyMailbox*> g_free;
std::atomic<HWND> g_nextSerial{1};

}  // namespace

TmyMailbox& TmyComponentRegistry::Acquire() {
    std::lock_guard lock(g_mutex);
    if (!g_free.empty()) {
        TmyMailbox* mailbox = g_free.back();
        g_free.pop_back();
        return *mailbox;
    }
    if (g_mailboxCount == kMaxMailboxes) {
        qFatal("More than %u threads with message targets at once", kMaxMailboxes);
    }
    auto* mailbox = new TmyMailbox(g_mailboxCount);
    g_mailboxes[g_mailboxCount++].store(mailbox, std::memory_order_release);
    return *mailbox;
}

void TmyComponentRegistry::Release(TmyMailbox& mailbox) {
    std::lock_guard lock(g_mutex);
    g_free.push_back(&mailbox);
}

HWND TmyComponentRegistry::NewHandle(const TmyMailbox& mailbox) {
    const HWND serial = g_nextSerial.fetch_add(1, std::memory_order_relaxed);
    return serial << kIndexBits | mailbox.GetIndex();
}

bool TmyComponentRegistry::Post(const TmyMessage& message) {
    if (message.hwnd == 0) {
        return false;
    }
    TmyMailbox* mailbox =
        g_mailboxes[message.hwnd & (kMaxMailboxes - 1)].load(std::memory_order_acquire);
    return mailbox != nullptr && mailbox->Push(message);
}

void TmyComponentRegistry::Deliver(TmyComponent& target, const TmyMessage& message) {
    target.OnWindowMessage(message);
}

void TmyComponentRegistry::Tick(TmyComponent& target, UINT id) {
    target.OnTimer(id);
}
