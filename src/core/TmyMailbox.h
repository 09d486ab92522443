#pragma once
// The part of a thread's message queue that other threads touch: the thread's live targets and
// the messages posted to them since the thread last collected. One lock guards both and is held
// only for a lookup and a push or for a swap. A mailbox is never freed: a handle names its mailbox,
// so a poster holding an old handle always finds one, and a thread that ends hands its mailbox on
// to a later thread (with fresh handles, so the old ones stay dead).
#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "core/TmyTypes.h"

class QEvent;
class QObject;
class TmyComponent;

class TmyMailbox {
public:
    // `index` is carried in the low bits of every handle this mailbox gives out.
    explicit TmyMailbox(unsigned index) : index_(index) {}
    TmyMailbox(const TmyMailbox&) = delete;
    TmyMailbox& operator=(const TmyMailbox&) = delete;

    // The event type a wake-up arrives as.
    static int WakeEventType();

    unsigned GetIndex() const { return index_; }

    // On the owning thread. `pump` receives the wake-ups; Close drops every target and message and
    // returns once no poster is still about to wake the pump.
    void Open(QObject& pump);
    void Close();

    // On the owning thread: targets come and go there, so its own lookups need no lock.
    void Add(TmyComponent& component, HWND handle);
    void Remove(HWND handle);
    TmyComponent* Find(HWND handle) const;

    // Any thread. False when no live target of this mailbox has the handle.
    bool Push(const TmyMessage& message);

    // On the owning thread, at every wake-up it takes. `startingWake`: the next post must send a
    // new wake-up. When `batch` is empty it is swapped with what was posted since the last call.
    void Collect(std::vector<TmyMessage>& batch, bool startingWake);
    // On the owning thread: moves the messages posted to `target` so far to the end of `out`, in
    // posting order, and leaves the others.
    void TakeFor(HWND target, std::vector<TmyMessage>& out);
    // Marks a wake-up as on its way without sending one, so posters stay quiet; true when the
    // owner must now see to it itself (nothing was on its way yet).
    bool TakeOverWake();
    // Sends a wake-up unless one is already on its way.
    void EnsureWake();
    // Sends a wake-up in any case, for when one may have been swallowed (a wait held the queue).
    void ForceWake();

private:
    void WakeOwnPump(bool evenIfPending);
    static QEvent* NewWakeEvent();
    // `target`: the window a post is for, 0 for the owner's own wake-ups.
    void Wake(QObject& pump, QEvent& wake, HWND target);

    const unsigned index_;
    mutable std::mutex mutex_;
    std::unordered_map<HWND, TmyComponent*> targets_;
    std::vector<TmyMessage> posted_;
    QObject* pump_ = nullptr;
    bool wakePending_ = false;
    std::atomic<int> wakesInFlight_{0};  // posters between the lock and their wake-up of the pump
    std::atomic<bool> warnedNoLoop_{false};
};
