#pragma once
// A closed library bound at run time by file name, its functions looked up by name.

// The address of an exported function before it is cast to its real signature.
using DllProc = void (*)();

class InxDllUnknown {
public:
    virtual ~InxDllUnknown() = default;

    // The export of that name; `fallback` when the library has no such export; null when nothing
    // is loaded.
    virtual DllProc GetFunction(const char* name, DllProc fallback) = 0;
    virtual bool Load(const char* fileName) = 0;
    // False when nothing was loaded; the binding is unloaded afterwards in every case.
    virtual bool Release() = 0;
    virtual bool IsLoaded() const = 0;
    // The name last passed to Load, null before the first load.
    virtual const char* GetFileName() const = 0;
};
