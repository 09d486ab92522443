#pragma once
// What `k740rx --help` and `k740rx --version` print. These two requests are answered before
// anything else happens: no lock is taken, no settings folder made, no window opened. Every other
// argument is left to the program's own option syntax (-itime=2000, /itime:2000).
#include <string>

enum class K740RXInfoRequest { kNone, kHelp, kVersion };

// The first of --help and --version among the arguments after the program name.
K740RXInfoRequest FindInfoRequest(int argc, const char* const* argv);

// The options as the manual page lists them, one per line, with what they do.
std::string UsageText();
std::string VersionText(const std::string& version);
