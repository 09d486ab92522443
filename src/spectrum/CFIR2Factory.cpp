#include "spectrum/CFIR2Factory.h"

#include "spectrum/CFIR2_MMX.h"

bool CFIR2Factory::HasPackedMultiplyAdd() {
    return CFIR2Kernel::IsSupported(CFIR2Kernel::kSse2);
}

std::unique_ptr<CFIR2> CFIR2Factory::Create() {
    if (HasPackedMultiplyAdd()) {
        return std::make_unique<CFIR2_MMX>();
    }
    return std::make_unique<CFIR2>();
}
