#pragma once
// The two ways controls report user actions: event lists that call every subscribed handler in
// turn, and single-handler slots that hold one handler with an extra value.
#include <cstdint>
#include <functional>
#include <vector>

template <typename Arg>
class TmyEventList {
public:
    using Handler = std::function<void(void* sender, Arg value)>;

    template <typename Obj>
    void Subscribe(Obj* object, void (Obj::*method)(void* sender, Arg value)) {
        handlers_.push_back({object, [object, method](void* sender, Arg value) {
                                 (object->*method)(sender, value);
                             }});
    }
    void Subscribe(const void* owner, Handler handler) {
        handlers_.push_back({owner, std::move(handler)});
    }
    // Removes every handler the owner subscribed.
    void Unsubscribe(const void* owner) {
        std::erase_if(handlers_, [owner](const Entry& e) { return e.owner == owner; });
    }
    void Raise(void* sender, Arg value) const {
        const auto snapshot = handlers_;  // a handler may unsubscribe while we run
        for (const Entry& e : snapshot) {
            e.handler(sender, value);
        }
    }
    std::size_t Count() const { return handlers_.size(); }

private:
    struct Entry {
        const void* owner;
        Handler handler;
    };
    std::vector<Entry> handlers_;
};

template <typename Arg>
class TmyEventSlot {
public:
    template <typename Obj>
    void Set(Obj* object, void (Obj::*method)(void* sender, Arg value, std::intptr_t extra),
             std::intptr_t extra = 0) {
        handler_ = [object, method, extra](void* sender, Arg value) {
            (object->*method)(sender, value, extra);
        };
    }
    void Clear() { handler_ = nullptr; }
    bool IsSet() const { return static_cast<bool>(handler_); }
    void Raise(void* sender, Arg value) const {
        if (handler_) {
            handler_(sender, value);
        }
    }

private:
    std::function<void(void*, Arg)> handler_;
};
