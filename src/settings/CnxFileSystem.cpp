#include "settings/CnxFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

CnxFileSystem::CnxFileSystem() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (error) {
        SetSystemError("GetCurrentDirectory", error.value());
    } else {
        currentDir_ = current.string();
    }
}

std::string CnxFileSystem::GetSpecialFolder(QStandardPaths::StandardLocation folder) {
    const std::string path = QStandardPaths::writableLocation(folder).toStdString();
    if (path.empty()) {
        SetSystemError("GetSpecialFolder", ENOENT);
        return path;
    }
    CreateFolders(path);
    return path;
}

bool CnxFileSystem::FileExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetSystemError("FileExists", errno);
        return false;
    }
    struct stat info {};
    const bool isFolder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    if (isFolder) {
        SetSystemError("FileExists", EISDIR);
        return false;
    }
    return true;
}

bool CnxFileSystem::CreateFile(const std::string& path) {
    const std::filesystem::path file(path);
    if (file.has_parent_path() && !CreateFolders(file.parent_path().string())) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetSystemError("CreateFile", errno);
        return false;
    }
    ::close(fd);
    return true;
}

bool CnxFileSystem::CreateFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        SetSystemError("CreateDirectory", error.value());
        return false;
    }
    return true;
}

void CnxFileSystem::SetSystemError(std::string_view operation, int errorNumber) {
    lastErrorNumber_ = errorNumber;
    lastError_ = std::string(operation) + ": " + std::generic_category().message(errorNumber);
    lastError_.resize(std::min(lastError_.size(), kMaxErrorLength));
}
