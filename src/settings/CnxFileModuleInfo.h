#pragma once
// Where the running program lies: its full path and the pieces other parts build paths from.
#include <string>

class CnxFileModuleInfo {
public:
    CnxFileModuleInfo();
    virtual ~CnxFileModuleInfo() = default;

    const std::string& GetModulePath() const { return modulePath_; }  // /opt/k740/k740rx
    const std::string& GetProgramDir() const { return programDir_; }  // /opt/k740 (no trailing '/')
    const std::string& GetModuleFileName() const { return moduleFileName_; }    // k740rx.bin
    const std::string& GetModuleBaseName() const { return moduleBaseName_; }    // k740rx
    const std::string& GetModuleExtension() const { return moduleExtension_; }  // bin

private:
    std::string modulePath_;
    std::string programDir_;
    std::string moduleFileName_;
    std::string moduleBaseName_;
    std::string moduleExtension_;
};
