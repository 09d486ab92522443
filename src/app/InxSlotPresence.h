#pragma once
// Which receiver slots hold a receiver, what the window calls it and whether its radio is
// connected, asked of the one who keeps that (the slots controller).
#include <QString>

class InxSlotPresence {
public:
    virtual ~InxSlotPresence() = default;
    virtual bool IsPresent(int slot) const = 0;
    virtual bool IsConnected(int slot) const = 0;
    // As the receiver list names it ("Receiver 1").
    virtual QString GetSlotName(int slot) const = 0;
};
