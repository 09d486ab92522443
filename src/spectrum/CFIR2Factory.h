#pragma once
// Makes the FIR variant that suits the processor: the fixed-point one where the processor has a
// packed 16-bit multiply-add, else the floating-point one. Either then runs its loops with the
// widest instruction set the processor has.
#include <memory>

#include "spectrum/CFIR2.h"

class CFIR2Factory {
public:
    static std::unique_ptr<CFIR2> Create();
    // Tested once per process.
    static bool HasPackedMultiplyAdd();
};
