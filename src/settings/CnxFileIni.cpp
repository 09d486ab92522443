#include "settings/CnxFileIni.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "settings/CnxAtomicFile.h"

namespace {

// Like atol on the trimmed value, but saturating instead of overflowing.
int32_t LeadingNumber(std::string_view text) {
    size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        pos = 1;
    }
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = std::min(magnitude * 10 + (text[pos] - '0'), kLimit);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// 0 or the number of the first error.
int ReadAndClose(int fd, std::string& text) {
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            error = count == 0 ? 0 : errno;
            break;
        }
    }
    ::close(fd);
    return error;
}

// A file the user made read-only stays as it is: replacing it by renaming would not ask. Write
// bits are looked at as well, since the system lets an administrator write anything.
bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string_view FirstLine(std::string_view text) {
    return text.substr(0, text.find_first_of(std::string_view("\n\0", 2)));
}

}  // namespace

CnxFileIni::CnxFileIni(const std::string& name)
    : fileName_((name.empty() ? std::string("MyIniFile") : name) + ".ini") {
    SetFolder(GetProgramDir());
}

CnxFileIni::~CnxFileIni() {
    Flush();
}

void CnxFileIni::SetFolder(const std::string& folder) {
    Flush();
    folder_ = folder;
    filePath_ = folder_ + "/" + fileName_;
    document_.reset();
    unreadable_ = false;
    dirty_ = false;
    memoryFile_ = nullptr;
    writtenText_.reset();
}

void CnxFileIni::UseMemoryFile(std::string& file) {
    Flush();
    document_.emplace(file);
    writtenText_ = file;
    unreadable_ = false;
    dirty_ = false;
    memoryFile_ = &file;
}

bool CnxFileIni::Exists() {
    return memoryFile_ != nullptr || FileExists(filePath_);
}

bool CnxFileIni::Create() {
    return memoryFile_ != nullptr || CreateFile(filePath_);
}

CnxIniDocument* CnxFileIni::Document() {
    if (!document_) {
        Load();
    }
    return unreadable_ ? nullptr : &*document_;
}

void CnxFileIni::Load() {
    document_.emplace();
    const int fd = ::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC);
    const int openError = fd < 0 ? errno : 0;
    // A file that is not there yet reads as empty; one that cannot be read must not be overwritten.
    if (openError == ENOENT || openError == ENOTDIR) {
        return;
    }
    std::string text;
    const int error = openError != 0 ? openError : ReadAndClose(fd, text);
    if (error != 0) {
        SetSystemError("ReadFile", error);
        unreadable_ = true;
        return;
    }
    document_.emplace(text);
    writtenText_ = std::move(text);
}

int32_t CnxFileIni::ReadInt(std::string_view section, std::string_view key, int32_t defaultValue) {
    const CnxIniDocument* document = Document();
    const auto value = document ? document->Find(section, key) : std::nullopt;
    return value ? LeadingNumber(*value) : defaultValue;
}

std::string CnxFileIni::ReadString(std::string_view section, std::string_view key,
                                   size_t maxLength) {
    const CnxIniDocument* document = Document();
    const auto value = document ? document->Find(section, key) : std::nullopt;
    if (!value) {
        return {};
    }
    // Cutting may leave blanks at the end, which a second read would not return.
    return std::string(CnxIniDocument::Trim(value->substr(0, maxLength)));
}

bool CnxFileIni::WriteInt(std::string_view section, std::string_view key, int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

bool CnxFileIni::WriteString(std::string_view section, std::string_view key,
                             std::string_view text) {
    CnxIniDocument* document = Document();
    if (document == nullptr) {
        return false;
    }
    document->Set(section, key, FirstLine(text));
    dirty_ = true;
    return true;
}

std::vector<std::string> CnxFileIni::ReadSectionNames() {
    const CnxIniDocument* document = Document();
    return document ? document->SectionNames() : std::vector<std::string>{};
}

bool CnxFileIni::DeleteSection(std::string_view section) {
    CnxIniDocument* document = Document();
    if (document == nullptr || !document->RemoveSection(section)) {
        return false;
    }
    dirty_ = true;
    return true;
}

bool CnxFileIni::CreateWithSpace() {
    if (!WriteAtomically(" ")) {
        return false;
    }
    document_.emplace(" ");
    unreadable_ = false;
    dirty_ = false;
    return true;
}

bool CnxFileIni::AppendLineFeed() {
    CnxIniDocument* document = Document();
    if (document == nullptr) {
        return false;
    }
    document->EndWithBlankLine();
    dirty_ = true;
    return true;
}

bool CnxFileIni::Flush() {
    if (!dirty_) {
        return true;
    }
    // Values written again as they were leave the file alone, so saving often costs nothing.
    const std::string text = document_->ToText();
    if (text != writtenText_ && !WriteAtomically(text)) {
        return false;
    }
    dirty_ = false;
    return true;
}

bool CnxFileIni::WriteAtomically(const std::string& text) {
    if (memoryFile_ != nullptr) {
        *memoryFile_ = text;
        writtenText_ = text;
        return true;
    }
    if (IsReadOnlyFile(filePath_)) {
        SetSystemError("WriteFile", EACCES);
        return false;
    }
    if (const CnxAtomicFile::Result result = CnxAtomicFile::Write(filePath_, text); !result) {
        SetSystemError(result.operation, result.error);
        return false;
    }
    writtenText_ = text;
    return true;
}
