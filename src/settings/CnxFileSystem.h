#pragma once
// Folder and file operations on top of the module information. Failures never throw: they return
// false and leave a readable reason in the last-error text.
#include <QStandardPaths>
#include <string>
#include <string_view>

#include "settings/CnxFileModuleInfo.h"

class CnxFileSystem : public CnxFileModuleInfo {
public:
    static constexpr size_t kMaxErrorLength = 259;

    CnxFileSystem();

    const std::string& GetCurrentDir() const { return currentDir_; }  // as it was at construction
    const std::string& GetLastError() const { return lastError_; }
    // The system's number of the last failure, 0 while there was none.
    int GetLastErrorNumber() const { return lastErrorNumber_; }

    // The platform's path of a standard folder such as the documents folder, created if missing;
    // empty when the platform knows no such folder.
    std::string GetSpecialFolder(QStandardPaths::StandardLocation folder);
    // True when the path names a file that can be opened for reading.
    bool FileExists(const std::string& path);
    // Creates every missing folder of the path, then the file itself when it does not exist yet.
    bool CreateFile(const std::string& path);

protected:
    // A failed system call: the operation name, a colon and the system's message.
    void SetSystemError(std::string_view operation, int errorNumber);

private:
    bool CreateFolders(const std::string& folder);

    std::string currentDir_;
    std::string lastError_ = "No error.";
    int lastErrorNumber_ = 0;
};
