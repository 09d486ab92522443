#pragma once
// Dynamic-library binding over QLibrary. Library names are given in their Windows form
// ("QVK740RXAPI.dll"); such a name is loaded as the platform library of the same base name
// ("libQVK740RXAPI.so") from the program's folder, or from the folder the name itself gives.
#include <memory>
#include <optional>
#include <string>

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

private:
    std::unique_ptr<QLibrary> library_;  // null while nothing is loaded
    std::optional<std::string> fileName_;
};
