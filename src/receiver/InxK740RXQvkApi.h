#pragma once
// The receiver driver library's function table: every export resolved by name once, each wrapped
// in a call that answers 0 when the library or that export is missing.
#include <type_traits>

#include "core/CnxInterfaceDll.h"
#include "receiver/K740RXDriverApi.h"

class InxK740RXQvkApi : public CnxInterfaceDll {
public:
    explicit InxK740RXQvkApi(const char* fileName);

    // One wrapper per export, named like it, taking its arguments unchanged.
    // clang-format off
#define K740RX_DECLARE_WRAPPER(name, ret, params)                       \
    template <typename... Args>                                         \
        requires std::is_invocable_r_v<ret, ret(*) params, Args...>     \
    ret name(Args... args) {                                            \
        return Invoke(functions_.name, args...);                        \
    }
    K740RX_DRIVER_FUNCTIONS(K740RX_DECLARE_WRAPPER)
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
        K740RX_DRIVER_FUNCTIONS(K740RX_DECLARE_POINTER)
#undef K740RX_DECLARE_POINTER
    };
    Functions functions_;
};
