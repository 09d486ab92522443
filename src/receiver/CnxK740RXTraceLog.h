#pragma once
// The per-radio trace files written with the `log` option: one line per measurement, with the
// milliseconds since the previous line of the same radio. A scan writes thousands of lines a
// second, so a file that reaches its size limit becomes "<name>.old" (replacing the one before)
// and a new file starts: each radio keeps at most twice the limit, always its latest lines.
#include <cstdint>
#include <string>

#include "receiver/K740RXDriverApi.h"

class CnxK740RXTraceLog {
public:
    // Driver handles are small positive numbers; higher ones share the last entry.
    static constexpr uint32_t kTableSize = 64;

    static constexpr std::uintmax_t kMaxFileBytes = 32 * 1024 * 1024;

    // Appends a line to the file of radio `handle` in `folder`; a frequency of 0 writes the error
    // line. Files that cannot be opened are skipped.
    static void Write(const std::string& folder, const char* attachmentWord, K7Handle handle,
                      int64_t frequency, int32_t level, int32_t raw, int32_t rssi, int32_t agc,
                      std::uintmax_t maxFileBytes = kMaxFileBytes);
    // Forgets the time of the previous line of that table entry.
    static void ClearEntry(uint32_t entry);
    // The file name of a radio's trace, e.g. "k74usb-log  0.txt" for handle 1.
    static std::string FileName(const char* attachmentWord, K7Handle handle);
};
