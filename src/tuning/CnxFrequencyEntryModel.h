#pragma once
// What the frequency entry holds and how it reacts to typing, apart from any window: the shown
// frequency, its limits and unit, and the edit text while the user types a new value. The entry
// never tunes anything itself; it raises one of its three events and the owner answers them.
#include <cstdint>
#include <functional>
#include <string>

#include "core/TmyEvents.h"

class CnxFrequencyEntryModel {
public:
    enum Unit { kUnitKHz = 0, kUnitMHz = 1, kUnitHz = 2 };
    // Longest edit text; further characters are swallowed so a conversion can never overflow.
    static constexpr std::size_t kMaxEditLength = 15;

    // `sender` is what the events report as their sender (the owning control); null means this.
    explicit CnxFrequencyEntryModel(void* sender = nullptr);

    TmyEventList<int32_t> OnFrequencyChanged;
    TmyEventList<int32_t> OnFrequency375Changed;
    TmyEventList<int32_t> OnFrequencySpinChanged;
    // A value below the lower limit: refused, with the value asked for; the shown one stays.
    TmyEventList<int32_t> OnRefused;

    // Called after anything visible changed (value, unit, edit text, edit mode).
    void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

    int32_t Frequency() const { return frequency_; }
    int32_t LowerLimit() const { return lower_; }
    int32_t UpperLimit() const { return upper_; }

    // Applies the limit rule and shows the value; raises OnFrequencyChanged when it changed.
    void SetFrequency(int32_t frequency);
    // Shows a value the owner has already tuned, without raising anything.
    void ShowFrequency(int32_t frequency);
    // Steps from the current value; raises OnFrequencySpinChanged when it changed.
    void Step(int32_t delta);
    // As Step, for moves along the channel raster; raises OnFrequency375Changed.
    void StepOnRaster(int32_t delta);
    // A shown value outside the new limits is shown clamped; nothing is raised.
    void SetLimits(int32_t lower, int32_t upper);

    Unit GetUnit() const { return unit_; }
    void SetUnit(Unit unit);
    // Unless the unit is fixed, the read-out returns to the preferred unit whenever a value is
    // shown.
    void SetPreferredUnit(Unit unit) { preferred_ = unit; }
    void SetFixedUnit(bool fixed) { fixedUnit_ = fixed; }

    std::string ValueText() const;  // "162.250"
    std::string UnitText() const;   // " MHz"
    std::string ReadoutText() const { return ValueText() + UnitText(); }

    // Typing. OpenEdit starts from the shown value, entirely selected, so the first character
    // typed replaces it.
    bool IsEditing() const { return editing_; }
    const std::string& EditText() const { return editText_; }
    bool IsEditTextSelected() const { return editSelected_; }
    void OpenEdit();
    // Returns true when the character changed the edit text or the unit; false when swallowed.
    bool TypeChar(char c);
    void Backspace();
    void Enter();   // closes and converts the text
    void Escape();  // closes and shows the current value again

private:
    enum class Event { Changed, Spin, Raster };
    void Apply(int32_t frequency, Event event);
    void Show();
    void NotifyChanged() const;
    int32_t ConvertEditText() const;

    void* sender_;
    int32_t frequency_ = 0;
    int32_t lower_ = 0;
    int32_t upper_ = INT32_MAX;
    Unit unit_ = kUnitMHz;
    Unit preferred_ = kUnitMHz;
    bool fixedUnit_ = false;
    bool editing_ = false;
    bool editSelected_ = false;
    std::string editText_;
    std::function<void()> changed_;
};
