#pragma once
// The two ways controls report user actions: event lists that call every subscribed handler in
// turn, and single-handler slots that hold one handler with an extra value.
//
// Subscribing gives a TmySubscription, which the subscriber keeps for as long as it listens: when
// it goes, the handler goes with it, so a source never calls into a subscriber that is gone. Either
// side may go first.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class [[nodiscard]] TmySubscription {
public:
    TmySubscription() = default;
    explicit TmySubscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    TmySubscription(TmySubscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    TmySubscription& operator=(TmySubscription&& other) noexcept {
        if (this != &other) {
            Cancel();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    TmySubscription(const TmySubscription&) = delete;
    TmySubscription& operator=(const TmySubscription&) = delete;
    ~TmySubscription() { Cancel(); }

    void Cancel() {
        if (cancel_) {
            std::exchange(cancel_, {})();
        }
    }

private:
    std::function<void()> cancel_;
};

// What a subscriber keeps: every subscription it holds, undone together when it goes.
using TmySubscriptions = std::vector<TmySubscription>;

template <typename Arg>
class TmyEventList {
public:
    using Handler = std::function<void(void* sender, Arg value)>;

    template <typename Obj>
    TmySubscription Subscribe(Obj* object, void (Obj::*method)(void* sender, Arg value)) {
        return Subscribe(
            [object, method](void* sender, Arg value) { (object->*method)(sender, value); });
    }
    TmySubscription Subscribe(Handler handler) {
        auto entry = std::make_shared<Entry>(Entry{std::move(handler), true});
        entries_->push_back(entry);
        return TmySubscription([list = std::weak_ptr<Entries>(entries_), entry] {
            entry->alive = false;
            if (const auto entries = list.lock()) {
                std::erase(*entries, entry);
            }
        });
    }
    void Raise(void* sender, Arg value) const {
        // A handler may end subscriptions (its own or others') while we run: those not yet called
        // are then skipped.
        const auto snapshot = *entries_;
        for (const auto& entry : snapshot) {
            if (entry->alive) {
                entry->handler(sender, value);
            }
        }
    }
    std::size_t Count() const { return entries_->size(); }

private:
    struct Entry {
        Handler handler;
        bool alive;
    };
    using Entries = std::vector<std::shared_ptr<Entry>>;
    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
};

template <typename Arg>
class TmyEventSlot {
public:
    // Replaces the handler that was set before; ending the subscription clears the slot unless
    // another handler has replaced this one meanwhile.
    template <typename Obj>
    TmySubscription Set(Obj* object,
                        void (Obj::*method)(void* sender, Arg value, std::intptr_t extra),
                        std::intptr_t extra = 0) {
        return Set([object, method, extra](void* sender, Arg value) {
            (object->*method)(sender, value, extra);
        });
    }
    TmySubscription Set(std::function<void(void*, Arg)> handler) {
        *current_ = std::make_shared<std::function<void(void*, Arg)>>(std::move(handler));
        return TmySubscription([slot = std::weak_ptr<Current>(current_), mine = *current_] {
            if (const auto current = slot.lock(); current && *current == mine) {
                current->reset();
            }
        });
    }
    bool IsSet() const { return *current_ != nullptr; }
    void Raise(void* sender, Arg value) const {
        if (const auto handler = *current_) {  // kept alive even if the handler clears the slot
            (*handler)(sender, value);
        }
    }

private:
    using Current = std::shared_ptr<std::function<void(void*, Arg)>>;
    std::shared_ptr<Current> current_ = std::make_shared<Current>();
};
