#pragma once
// Dynamic-library binding over QLibrary. Library names are given in their Windows form
// ("QVK740RXAPI.dll"); such a name is loaded as the platform library of the same base name
// ("libQVK740RXAPI.so") from the program's folder, or from the folder the name itself gives.
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "core/InxDllUnknown.h"

class QLibrary;

class CnxInterfaceDll : public InxDllUnknown {
public:
    CnxInterfaceDll();
    // Loads at once; whether that worked shows only through IsLoaded.
    explicit CnxInterfaceDll(const char* fileName);
    ~CnxInterfaceDll() override;
    CnxInterfaceDll(const CnxInterfaceDll&) = delete;
    CnxInterfaceDll& operator=(const CnxInterfaceDll&) = delete;

    DllProc GetFunction(const char* name, DllProc fallback) override;
    bool Load(const char* fileName) override;
    bool Release() override;
    bool IsLoaded() const override;
    const char* GetFileName() const override;

    // Where a library name is looked for on this platform.
    static std::string PlatformFileName(const std::string& fileName);

protected:
    // Calls a resolved export; answers R{} without calling while nothing is loaded or the export
    // was not found.
    template <typename R, typename... Params, typename... Args>
    R Invoke(R (*function)(Params...), Args... args) const {
        if (!IsLoaded() || function == nullptr) {
            return R{};
        }
        return function(args...);
    }

private:
    std::unique_ptr<QLibrary> library_;  // null while nothing is loaded
    std::optional<std::string> fileName_;
};

// For a binding's list of exports X(name, result, (parameters)): a wrapper per export, named like
// it, that passes its arguments on through Invoke, and the member holding the resolved pointers.
// clang-format off
#define K740RX_DECLARE_DLL_WRAPPER(name, ret, params)                   \
    template <typename... Args>                                         \
        requires std::is_invocable_r_v<ret, ret(*) params, Args...>     \
    ret name(Args... args) {                                            \
        return Invoke(functions_.name, args...);                        \
    }
#define K740RX_DECLARE_DLL_POINTER(name, ret, params) ret(*name) params = nullptr;
// clang-format on
