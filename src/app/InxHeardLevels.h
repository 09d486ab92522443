#pragma once
// What a receiver that is not scanning hears where it is tuned, in dBm as its S-meter shows it
// (the operator's offset included); NaN when it cannot be read (switched off, lost, its stream
// not running). The listening controller answers; the activity log asks.
class InxHeardLevels {
public:
    virtual ~InxHeardLevels() = default;
    virtual double GetHeardLevel(int slot) = 0;
};
