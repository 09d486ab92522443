#include "settings/CnxAppOptions.h"

#include <algorithm>

namespace {

constexpr SnxAppOption kFlagDefault{false, 0};
constexpr SnxAppOption kSettle1Default{false, 15};
constexpr SnxAppOption kSettle2Default{false, 5};
constexpr SnxAppOption kITimeDefault{false, 5000};
constexpr SnxAppOption kRigctlDefault{false, 4532};

// Spelled out rather than std::isspace: the GUI library switches the C locale to the user's, which
// may count more bytes as white space.
bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

SnxAppOption g_optNSpectrum = kFlagDefault;
SnxAppOption g_optNSplash = kFlagDefault;
SnxAppOption g_optLog = kFlagDefault;
SnxAppOption g_optSettle1 = kSettle1Default;
SnxAppOption g_optSettle2 = kSettle2Default;
SnxAppOption g_optITime = kITimeDefault;
SnxAppOption g_optRigctl = kRigctlDefault;
std::string g_optRigctlAddress;

std::int32_t ParseOptionInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::int64_t limit = negative ? -std::int64_t{INT32_MIN} : std::int64_t{INT32_MAX};
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), limit);
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

void ResetAppOptions() {
    g_optNSpectrum = kFlagDefault;
    g_optNSplash = kFlagDefault;
    g_optLog = kFlagDefault;
    g_optSettle1 = kSettle1Default;
    g_optSettle2 = kSettle2Default;
    g_optITime = kITimeDefault;
    g_optRigctl = kRigctlDefault;
    g_optRigctlAddress.clear();
}

void ReadRigctlOption(const std::string& text) {
    std::string port = text;
    if (!text.empty() && text.front() == '[') {
        // An IPv6 address holds colons of its own, so it comes in brackets.
        const std::size_t close = text.find(']');
        g_optRigctlAddress = text.substr(1, close == std::string::npos ? close : close - 1);
        port = close != std::string::npos && text.compare(close + 1, 1, ":") == 0
                   ? text.substr(close + 2)
                   : std::string();
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string::npos) {
        g_optRigctlAddress = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (!port.empty()) {
        g_optRigctl.value = ParseOptionInteger(port);
    }
}
