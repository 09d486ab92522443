#pragma once
// What the simulation file describes: the radios attached to the machine and the sonobuoys on the
// air. Parsed from a small INI text; any fault rejects the whole text so that a half-understood
// file never produces half a set of radios.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SimRadio {
    std::string serial;
    std::string product = "K7USB";
    bool extended = false;  // the 225 MHz model
    bool connected = true;
    uint32_t firmware = 0x0102;  // reported as the list entry's first value
    uint32_t hardware = 3;       // reported as the list entry's second value
};

struct SimSignal {
    int64_t hertz = 0;
    double levelDbm = 0.0;
    bool steady = false;  // holds its level: no slow fading
};

// A sonobuoy that transmits on a schedule, at a steady level while it is on. Without a period, on
// and off are Unix times (seconds since 1970-01-01 UTC); with one, offsets into every period
// counted from Unix time 0.
struct SimScheduledSignal {
    SimSignal signal;
    double on = 0.0;
    double off = 0.0;
    double period = 0.0;

    bool isOn(double unixSeconds) const;
};

struct SimSetup {
    std::vector<SimRadio> radios;  // in list order
    std::vector<SimSignal> signals;
    std::vector<SimScheduledSignal> scheduled;

    // The radio with that serial, whether plugged in or not; null when the file has none.
    const SimRadio* findRadio(std::string_view serial) const;
    // The radios plugged in now, in list order.
    std::vector<const SimRadio*> attachedRadios() const;

    // Parses the file's text; on a fault returns nothing and describes it in `error`.
    static std::optional<SimSetup> parse(std::string_view text, std::string& error);
};
