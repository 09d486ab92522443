#include "tuning/CnxFrequencyEntryModel.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// "%.03f" and "%ld" without the C locale's say: the read-out always uses a decimal point.
std::string FormatFixed3(double value) {
    char buffer[48];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

std::string FormatInteger(int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

CnxFrequencyEntryModel::CnxFrequencyEntryModel(void* sender) : sender_(sender ? sender : this) {}

void CnxFrequencyEntryModel::Apply(int32_t frequency, Event event) {
    if (frequency < lower_) {
        Show();
        OnRefused.Raise(sender_, frequency);
        return;
    }
    // Above the upper limit the entry takes the limit itself.
    const int32_t value = std::min(frequency, upper_);
    const bool changed = value != frequency_;
    frequency_ = value;
    Show();
    if (!changed) {
        return;
    }
    switch (event) {
        case Event::Changed:
            OnFrequencyChanged.Raise(sender_, value);
            break;
        case Event::Spin:
            OnFrequencySpinChanged.Raise(sender_, value);
            break;
        case Event::Raster:
            OnFrequency375Changed.Raise(sender_, value);
            break;
    }
}

void CnxFrequencyEntryModel::SetFrequency(int32_t frequency) {
    Apply(frequency, Event::Changed);
}

void CnxFrequencyEntryModel::ShowFrequency(int32_t frequency) {
    frequency_ = frequency;
    Show();
}

void CnxFrequencyEntryModel::Step(int32_t delta) {
    Apply(ClampToInt32(int64_t{frequency_} + delta), Event::Spin);
}

void CnxFrequencyEntryModel::StepOnRaster(int32_t delta) {
    Apply(ClampToInt32(int64_t{frequency_} + delta), Event::Raster);
}

void CnxFrequencyEntryModel::SetLimits(int32_t lower, int32_t upper) {
    // New limits only change what is shown: tuning follows from the owner, who knows which
    // receiver the limits belong to (raising a change here would tune the wrong one).
    lower_ = lower;
    upper_ = upper;
    const int32_t inside = std::min(std::max(frequency_, lower), upper);
    if (inside != frequency_) {
        ShowFrequency(inside);
    }
}

void CnxFrequencyEntryModel::SetUnit(Unit unit) {
    unit_ = unit;
    NotifyChanged();
}

void CnxFrequencyEntryModel::Show() {
    // A unit the user picked while typing holds until the field closes.
    if (!fixedUnit_ && !editing_) {
        unit_ = preferred_;
    }
    NotifyChanged();
}

void CnxFrequencyEntryModel::NotifyChanged() const {
    if (changed_) {
        changed_();
    }
}

std::string CnxFrequencyEntryModel::ValueText() const {
    // The small addition keeps values such as 162.250 from showing as 162.249.
    switch (unit_) {
        case kUnitKHz:
            return FormatFixed3(frequency_ / 1000.0 + 0.000005);
        case kUnitMHz:
            return FormatFixed3(frequency_ / 1000000.0 + 0.000005);
        case kUnitHz:
            break;
    }
    return FormatInteger(frequency_);
}

std::string CnxFrequencyEntryModel::UnitText() const {
    switch (unit_) {
        case kUnitKHz:
            return " kHz";
        case kUnitMHz:
            return " MHz";
        case kUnitHz:
            break;
    }
    return " Hz";
}

void CnxFrequencyEntryModel::OpenEdit() {
    editing_ = true;
    editText_ = ValueText();
    editSelected_ = true;
    NotifyChanged();
}

bool CnxFrequencyEntryModel::TypeChar(char c) {
    if (!editing_) {
        return false;
    }
    switch (std::tolower(static_cast<unsigned char>(c))) {
        case 'k':
            SetUnit(kUnitKHz);
            return true;
        case 'm':
            SetUnit(kUnitMHz);
            return true;
        case 'h':
            SetUnit(kUnitHz);
            return true;
        default:
            break;
    }
    const bool digit = c >= '0' && c <= '9';
    if (!digit && c != '.') {
        return false;
    }
    // A selected text is replaced by what is typed, so only the text that stays counts.
    const std::string kept = editSelected_ ? std::string() : editText_;
    if (kept.size() >= kMaxEditLength || (c == '.' && kept.find('.') != std::string::npos)) {
        return false;
    }
    editText_ = kept + c;
    editSelected_ = false;
    NotifyChanged();
    return true;
}

void CnxFrequencyEntryModel::Backspace() {
    if (!editing_) {
        return;
    }
    if (editSelected_) {
        editText_.clear();
    } else if (!editText_.empty()) {
        editText_.pop_back();
    }
    editSelected_ = false;
    NotifyChanged();
}

int32_t CnxFrequencyEntryModel::ConvertEditText() const {
    // An empty text or a lone "." reads as 0, which the limit rule then refuses.
    double value = 0;
    std::from_chars(editText_.data(), editText_.data() + editText_.size(), value);
    double hertz = value;
    if (unit_ == kUnitKHz) {
        hertz = value * 1000 + 0.0000000005;
    } else if (unit_ == kUnitMHz) {
        hertz = value * 1000000 + 0.0000000005;
    }
    // Clamped before the conversion: a double beyond the int32 range would be undefined.
    return static_cast<int32_t>(std::clamp(hertz, 0.0, static_cast<double>(INT32_MAX)));
}

void CnxFrequencyEntryModel::Enter() {
    if (!editing_) {
        return;
    }
    const int32_t typed = ConvertEditText();
    editing_ = false;
    editText_.clear();
    if (typed != frequency_) {
        SetFrequency(typed);
    } else {
        Show();
    }
}

void CnxFrequencyEntryModel::Escape() {
    if (!editing_) {
        return;
    }
    editing_ = false;
    editText_.clear();
    Show();
}
