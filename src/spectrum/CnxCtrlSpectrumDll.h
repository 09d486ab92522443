#pragma once
// Binding of the spectrum analyzer library: every export resolved by name once, a missing export
// replaced by a stub that answers 0, and every wrapper answering 0 without calling anything while
// the library is not loaded. With the nspectrum option the library is let go at once, so the
// spectrum stays empty.
#include <type_traits>

#include "core/CnxInterfaceDll.h"
#include "spectrum/K740RXAnalyzerApi.h"

class CnxCtrlSpectrumDll : public CnxInterfaceDll {
public:
    explicit CnxCtrlSpectrumDll(const char* fileName);

    // One wrapper per export, named like it, taking its arguments unchanged.
    // clang-format off
#define K740RX_DECLARE_WRAPPER(name, ret, params)                       \
    template <typename... Args>                                         \
        requires std::is_invocable_r_v<ret, ret(*) params, Args...>     \
    ret name(Args... args) {                                            \
        return Invoke(functions_.name, args...);                        \
    }
    K740RX_ANALYZER_FUNCTIONS(K740RX_DECLARE_WRAPPER)
#undef K740RX_DECLARE_WRAPPER
    // clang-format on

private:
    template <typename R, typename... Params, typename... Args>
    R Invoke(R (*function)(Params...), Args... args) {
        if (!IsLoaded() || function == nullptr) {
            return R{};
        }
        return function(args...);
    }

    struct Functions {
#define K740RX_DECLARE_POINTER(name, ret, params) ret(*name) params = nullptr;
        K740RX_ANALYZER_FUNCTIONS(K740RX_DECLARE_POINTER)
#undef K740RX_DECLARE_POINTER
    };
    Functions functions_;
};
