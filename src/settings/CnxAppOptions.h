#pragma once
// Process-wide option values from the command line. The entry point writes them once, before any
// other thread exists; afterwards they are only read (the receivers read settle1 and settle2 when a
// scan starts), so they need no lock.
#include <concepts>
#include <cstdint>
#include <string>

struct SnxAppOption {
    bool present;  // the option was on the command line, with or without a value
    std::int32_t value;
};

extern SnxAppOption g_optNSpectrum;
extern SnxAppOption g_optNSplash;
extern SnxAppOption g_optLog;
extern SnxAppOption g_optSettle1;  // value 15 unless given
extern SnxAppOption g_optSettle2;  // value 5 unless given
extern SnxAppOption g_optITime;    // value 5000 unless given
// Remote control: the first server's port, 4532 unless given. Its value may name the address to
// listen on in front of the port ("-rigctl=0.0.0.0:4600", "-rigctl=[::]:4600").
extern SnxAppOption g_optRigctl;
extern std::string g_optRigctlAddress;  // empty unless named: loopback

// Decimal integer: leading white space, optional sign, digits up to the first non-digit; 0 when
// the text does not start with a number. Values beyond 32 bits saturate.
std::int32_t ParseOptionInteger(const std::string& text);

// Back to the values before ReadAppOptions.
void ResetAppOptions();

// The rigctl option's value: "port", "address:port" or "[address]:port". A part that is not there
// leaves its value as it was.
void ReadRigctlOption(const std::string& text);

// Anything that answers lookups the way the command-line parser does. The settings library takes
// the parser through this, so it does not depend on the application library.
template <typename Parser>
concept CnxOptionLookup = requires(const Parser& parser, const std::string& name,
                                   std::string& value) {
    { parser.HasKey(name) } -> std::convertible_to<bool>;
    { parser.HasValue(name) } -> std::convertible_to<bool>;
    { parser.GetValue(name, value) } -> std::convertible_to<bool>;
};

// Sets every presence flag, then takes the values of settle1, itime and settle2 (in that order)
// and of rigctl when they carry a non-empty value.
template <CnxOptionLookup Parser>
void ReadAppOptions(const Parser& parser) {
    struct NamedOption {
        const char* name;
        SnxAppOption* option;
    };
    const NamedOption all[] = {
        {"nspectrum", &g_optNSpectrum}, {"nsplash", &g_optNSplash}, {"settle1", &g_optSettle1},
        {"settle2", &g_optSettle2},     {"log", &g_optLog},         {"itime", &g_optITime},
        {"rigctl", &g_optRigctl}};
    for (const NamedOption& entry : all) {
        entry.option->present = parser.HasKey(entry.name);
    }
    const NamedOption valued[] = {
        {"settle1", &g_optSettle1}, {"itime", &g_optITime}, {"settle2", &g_optSettle2}};
    for (const NamedOption& entry : valued) {
        std::string text;
        if (entry.option->present && parser.HasValue(entry.name) &&
            parser.GetValue(entry.name, text)) {
            entry.option->value = ParseOptionInteger(text);
        }
    }
    std::string rigctl;
    if (g_optRigctl.present && parser.HasValue("rigctl") && parser.GetValue("rigctl", rigctl)) {
        ReadRigctlOption(rigctl);
    }
}
