#pragma once
// What the stand-in calibration library's exports answer. -1 is the success the program relies on;
// handles and counts are 0 or more; every failure is a negative number of its own.
#include <cstdint>

namespace SimCalResult {
constexpr int32_t kDone = -1;
constexpr int32_t kUnknownHandle = -2;
constexpr int32_t kBadArgument = -3;
constexpr int32_t kNotFound = -4;   // model, mode, frequency point or raw value not in the table
constexpr int32_t kFileError = -5;  // the file cannot be read or written
constexpr int32_t kBadFile =
    -6;  // not a calibration file, truncated, or a curve that does not rise
constexpr int32_t kRefused = -7;  // the edit would make a curve stop rising
constexpr int32_t kFull = -8;     // every handle in use, or the table at its size limit
}  // namespace SimCalResult
