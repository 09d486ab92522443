#include "settings/CnxAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// 0 or the number of the first error.
int WriteSyncAndClose(int fd, std::string_view text) {
    int error = 0;
    while (!text.empty() && error == 0) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count >= 0) {
            text.remove_prefix(static_cast<size_t>(count));
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

}  // namespace

CnxAtomicFile::Result CnxAtomicFile::Write(const std::string& path, std::string_view text) {
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return {"CreateFile", errno};
    }
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    if (const int error = WriteSyncAndClose(fd, text); error != 0) {
        ::unlink(temporary.c_str());
        return {"WriteFile", error};
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return {"MoveFile", error};
    }
    return {};
}
