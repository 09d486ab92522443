#include "spectrum/CFIR2Factory.h"

#include "spectrum/CFIR2_MMX.h"

namespace {

bool TestProcessor() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

}  // namespace

bool CFIR2Factory::HasPackedMultiplyAdd() {
    static const bool has = TestProcessor();
    return has;
}

std::unique_ptr<CFIR2> CFIR2Factory::Create() {
    if (HasPackedMultiplyAdd()) {
        return std::make_unique<CFIR2_MMX>();
    }
    return std::make_unique<CFIR2>();
}
