#pragma once
// Numbers of the rig-control protocol that its clients know: result codes, and the bits by which a
// rig describes its modes, VFOs and levels.
#include <cstdint>

// The result of a command ("RPRT n"): 0 or the negated error.
enum ERigctlResult : int {
    kRigOk = 0,
    kRigInvalidArgument = -1,
    kRigInternalError = -7,
    kRigProtocolError = -8,
    kRigRejected = -9,
    kRigNotAvailable = -11,
    kRigIoError = -6,
};

constexpr uint64_t kRigModeFm = 0x20;
constexpr uint64_t kRigVfoA = 0x1;
constexpr uint64_t kRigLevelPreamp = uint64_t{1} << 0;
constexpr uint64_t kRigLevelAtt = uint64_t{1} << 1;
constexpr uint64_t kRigLevelRawStrength = uint64_t{1} << 26;
constexpr uint64_t kRigLevelStrength = uint64_t{1} << 30;
