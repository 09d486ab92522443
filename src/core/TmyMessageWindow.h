#pragma once
// A hidden window: a named message target whose messages go to one handler.
#include <functional>
#include <string>
#include <utility>

#include "core/TmyComponent.h"

class TmyMessageWindow : public TmyComponent {
public:
    using Handler = std::function<void(const TmyMessage&)>;

    TmyMessageWindow(std::string name, Handler handler)
        : name_(std::move(name)), handler_(std::move(handler)) {}

    const std::string& GetName() const { return name_; }

protected:
    void OnWindowMessage(const TmyMessage& message) override { handler_(message); }

private:
    std::string name_;
    Handler handler_;
};
