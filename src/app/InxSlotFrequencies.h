#pragma once
// Where each receiver slot is tuned, asked of the one who keeps it (the tuning controller).
#include <cstdint>

class InxSlotFrequencies {
public:
    virtual ~InxSlotFrequencies() = default;
    // Hz.
    virtual int32_t GetFrequency(int slot) const = 0;
};
