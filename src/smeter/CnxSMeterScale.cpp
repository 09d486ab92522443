#include "smeter/CnxSMeterScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Table = std::array<CnxSMeterScale::Unit, CnxSMeterScale::kUnits>;

Table MakeLinear() {
    Table table;
    for (int i = 0; i < CnxSMeterScale::kUnits; ++i) {
        const std::string number = std::to_string(i + 1);
        table[size_t(i)] = {-120.0 + 6.0 * i, "S" + number, number};
    }
    return table;
}

Table MakeStandard() {
    Table table;
    for (int i = 0; i < 9; ++i) {
        const std::string number = std::to_string(i + 1);
        table[size_t(i)] = {-120.0 + 6.0 * i, "S" + number, number};
    }
    for (int i = 9; i < CnxSMeterScale::kUnits; ++i) {
        const std::string over = std::to_string(10 * (i - 8));
        table[size_t(i)] = {-72.0 + 10.0 * (i - 8), "S9+" + over + "dB", "+" + over};
    }
    return table;
}

const Table& TableOf(CnxSMeterScale::Mode mode) {
    static const Table linear = MakeLinear();
    static const Table standard = MakeStandard();
    return mode == CnxSMeterScale::Mode::kLinear ? linear : standard;
}

}  // namespace

const CnxSMeterScale::Unit& CnxSMeterScale::UnitOf(double dbm) const {
    const Table& table = TableOf(mode_);
    const auto above = std::find_if(table.begin(), table.end(),
                                    [dbm](const Unit& unit) { return unit.dbm > dbm; });
    return above == table.begin() ? table.front() : *(above - 1);
}

std::vector<CnxSMeterScale::Unit> CnxSMeterScale::VisibleUnits() const {
    std::vector<Unit> units;
    for (const Unit& unit : TableOf(mode_)) {
        if (unit.dbm >= kMinimum && unit.dbm <= kMaximum) {
            units.push_back(unit);
        }
    }
    return units;
}

double CnxSMeterScale::Clamp(double dbm) {
    return std::isnan(dbm) ? kMinimum : std::clamp(dbm, kMinimum, kMaximum);
}

double CnxSMeterScale::Position(double dbm) {
    return (Clamp(dbm) - kMinimum) / (kMaximum - kMinimum);
}

double CnxSMeterScale::LevelAt(double position) {
    return Clamp(kMinimum + position * (kMaximum - kMinimum));
}
