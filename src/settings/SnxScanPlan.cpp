#include "settings/SnxScanPlan.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

using Plan = CnxChannelPlan;

namespace {

constexpr int32_t kHighestChannel = Plan::kLowBandCount + Plan::kHighBandCount;

bool IsChannel(int32_t number) {
    return Plan::FrequencyOfChannel(number).has_value();
}

void SortUnique(std::vector<int32_t>& channels) {
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole part that is a channel number.
std::optional<int32_t> ChannelNumber(std::string_view text) {
    const std::string_view digits = Trimmed(text);
    int32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        !IsChannel(number)) {
        return std::nullopt;
    }
    return number;
}

// "60" or "62-64" (either way round); nothing when it is neither.
std::optional<std::vector<int32_t>> ChannelsOfPart(std::string_view part) {
    const auto dash = part.find('-');
    const auto first = ChannelNumber(part.substr(0, dash));
    if (!first) {
        return std::nullopt;
    }
    if (dash == std::string_view::npos) {
        return std::vector<int32_t>{*first};
    }
    const auto last = ChannelNumber(part.substr(dash + 1));
    if (!last) {
        return std::nullopt;
    }
    std::vector<int32_t> channels;
    for (int32_t n = std::min(*first, *last); n <= std::max(*first, *last); ++n) {
        channels.push_back(n);
    }
    return channels;
}

}  // namespace

SnxScanPlan SnxScanPlan::Checked() const {
    SnxScanPlan plan = *this;
    plan.lower = std::clamp(lower, Plan::kLowerLimit, Plan::kUpperLimit);
    plan.upper = std::clamp(upper, Plan::kLowerLimit, Plan::kUpperLimit);
    if (plan.lower > plan.upper) {
        std::swap(plan.lower, plan.upper);
    }
    if (!CnxScanStepper::IsWalkable(plan.lower, plan.upper, plan.step)) {
        plan.step = Plan::kSpacing;
    }
    std::erase_if(plan.lockout, [](int32_t channel) { return !IsChannel(channel); });
    SortUnique(plan.lockout);
    plan.priority = IsChannel(priority) ? priority : kNoPriority;
    plan.priorityEvery = std::clamp(priorityEvery, 1, kMaxPriorityEvery);
    return plan;
}

CnxScanStepper SnxScanPlan::Walk() const {
    CnxScanStepper walk(lower, upper, step);
    std::array<bool, kHighestChannel + 1> lockedChannel{};
    for (const int32_t channel : lockout) {
        if (IsChannel(channel)) {
            lockedChannel[size_t(channel)] = true;
        }
    }
    const std::optional<int32_t> priorityHz = Plan::FrequencyOfChannel(priority);
    std::vector<int> locked;
    int priorityPoint = -1;
    int64_t priorityDistance = std::numeric_limits<int64_t>::max();
    for (int point = 0; point < walk.GetPointCount(); ++point) {
        const int64_t hertz = walk.GetPointFrequency(point);
        const std::optional<SnxSonobuoyChannel> channel = Plan::ChannelOf(hertz);
        if (!channel) {
            continue;
        }
        if (lockedChannel[size_t(channel->number)]) {
            locked.push_back(point);
        }
        if (channel->number == priority && std::llabs(hertz - *priorityHz) < priorityDistance) {
            priorityDistance = std::llabs(hertz - *priorityHz);
            priorityPoint = point;
        }
    }
    walk.SetLockedOut(locked);
    walk.SetPriority(priorityPoint, priorityEvery);
    return walk;
}

bool SnxScanPlan::IsLockedOut(int32_t channel) const {
    return std::find(lockout.begin(), lockout.end(), channel) != lockout.end();
}

void SnxScanPlan::SetLockedOut(int32_t channel, bool lockedOut) {
    if (lockedOut) {
        lockout.push_back(channel);
        SortUnique(lockout);
    } else {
        std::erase(lockout, channel);
    }
}

int SnxScanPlan::CountLockedOutInRange() const {
    return int(std::count_if(lockout.begin(), lockout.end(), [this](int32_t channel) {
        const std::optional<int32_t> hertz = Plan::FrequencyOfChannel(channel);
        return hertz && *hertz >= lower && *hertz <= upper;
    }));
}

std::string SnxScanPlan::LockoutText() const {
    std::string text;
    for (const int32_t channel : lockout) {
        text += (text.empty() ? "" : ",") + std::to_string(channel);
    }
    return text;
}

std::vector<int32_t> SnxScanPlan::ParseChannels(std::string_view text, std::string* refused) {
    std::vector<int32_t> channels;
    std::optional<std::string_view> firstRefused;
    for (std::size_t start = 0; start <= text.size();) {
        const auto comma = text.find(',', start);
        const std::string_view part = Trimmed(text.substr(start, comma - start));
        if (const auto found = ChannelsOfPart(part)) {
            channels.insert(channels.end(), found->begin(), found->end());
        } else if (!part.empty() && !firstRefused) {
            firstRefused = part;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (refused != nullptr) {
        *refused = std::string(firstRefused.value_or(std::string_view()));
    }
    SortUnique(channels);
    return channels;
}
