#pragma once
// The processor's name as the system reports it, for the head of a benchmark's report: figures
// from different machines are not comparable.
#include <fstream>
#include <string>

inline std::string ProcessorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown processor";
}
