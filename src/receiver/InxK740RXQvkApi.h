#pragma once
// The receiver driver library's function table: every export resolved by name once, each wrapped
// in a call that answers 0 when the library or that export is missing.
#include "core/CnxInterfaceDll.h"
#include "receiver/K740RXDriverApi.h"

class InxK740RXQvkApi : public CnxInterfaceDll {
public:
    explicit InxK740RXQvkApi(const char* fileName);

    // One wrapper per export, named like it, taking its arguments unchanged.
    K740RX_DRIVER_FUNCTIONS(K740RX_DECLARE_DLL_WRAPPER)

private:
    struct Functions {
        K740RX_DRIVER_FUNCTIONS(K740RX_DECLARE_DLL_POINTER)
    };
    Functions functions_;
};
