#pragma once
// A receiver slot's signal level where it is tuned, with the operator's calibration offset (the
// listening controller's), in two ways for two askers.
class InxSlotLevels {
public:
    virtual ~InxSlotLevels() = default;
    // Read now from its receiver; dBm, NaN when it cannot be read.
    virtual double GetLevelDbm(int slot) = 0;
    // What a receiver that is not scanning hears, as its S-meter shows it; NaN when it cannot be
    // read (switched off, lost, its stream not running).
    virtual double GetHeardLevel(int slot) = 0;
};
