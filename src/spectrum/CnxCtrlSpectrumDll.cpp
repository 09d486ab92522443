#include "spectrum/CnxCtrlSpectrumDll.h"

#include <QDebug>

#include "settings/CnxAppOptions.h"

namespace {

// Stands in for an export the library lacks.
template <typename R, typename... Params>
R MissingExport(Params...) {
    return R{};
}

template <typename R, typename... Params>
DllProc StubFor(R (*)(Params...)) {
    return reinterpret_cast<DllProc>(&MissingExport<R, Params...>);
}

}  // namespace

CnxCtrlSpectrumDll::CnxCtrlSpectrumDll(const char* fileName) : CnxInterfaceDll(fileName) {
    if (!IsLoaded()) {
        qWarning().noquote() << "Spectrum analyzer library" << fileName
                             << "not loaded: no spectrum is shown";
    } else if (g_optNSpectrum.present) {
        Release();
    }
#define K740RX_RESOLVE(name, ret, params)                          \
    functions_.name = reinterpret_cast<decltype(functions_.name)>( \
        GetFunction(#name, StubFor(decltype(functions_.name){})));
    K740RX_ANALYZER_FUNCTIONS(K740RX_RESOLVE)
#undef K740RX_RESOLVE
}
