#pragma once
// Binding of the spectrum analyzer library: every export resolved by name once, a missing export
// replaced by a stub that answers 0, and every wrapper answering 0 without calling anything while
// the library is not loaded. With the nspectrum option the library is let go at once, so the
// spectrum stays empty.
#include "core/CnxInterfaceDll.h"
#include "spectrum/K740RXAnalyzerApi.h"

class CnxCtrlSpectrumDll : public CnxInterfaceDll {
public:
    explicit CnxCtrlSpectrumDll(const char* fileName);

    // One wrapper per export, named like it, taking its arguments unchanged.
    K740RX_ANALYZER_FUNCTIONS(K740RX_DECLARE_DLL_WRAPPER)

private:
    struct Functions {
        K740RX_ANALYZER_FUNCTIONS(K740RX_DECLARE_DLL_POINTER)
    };
    Functions functions_;
};
