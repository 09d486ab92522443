#pragma once
// A receiver slot's signal level where it is tuned, read now from its receiver with the
// operator's calibration offset (the listening controller's).
class InxSlotLevels {
public:
    virtual ~InxSlotLevels() = default;
    // dBm; NaN when it cannot be read.
    virtual double GetLevelDbm(int slot) = 0;
};
