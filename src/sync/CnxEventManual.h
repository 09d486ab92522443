#pragma once
// An event that stays signalled until it is reset, releasing every waiter meanwhile. Events created
// with the same name share one state within the process.
#include "sync/CnxEvent.h"

class CnxEventManual : public CnxEvent {
public:
    // Starts not signalled. `name` may be null for an event of its own.
    explicit CnxEventManual(const char* name = nullptr);

    bool Set() override;
    virtual bool Reset();

private:
    static std::shared_ptr<State> OpenState(const char* name);
    State& RequireHandle();
};
