#include "audio/CSndMmioFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr uint32_t kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr uint32_t kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr int64_t kMaxPosition = std::numeric_limits<int32_t>::max();

uint32_t LittleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Matches(const CSndMmioFile::Chunk& found, const CSndMmioFile::Chunk& wanted, uint32_t flags) {
    if (flags & CSndMmioFile::kFindRiff) {
        return found.id == kRiff && found.formType == wanted.formType;
    }
    if (flags & CSndMmioFile::kFindList) {
        return found.id == kList && found.formType == wanted.formType;
    }
    if (flags & CSndMmioFile::kFindChunk) {
        return found.id == wanted.id;
    }
    return true;
}

}  // namespace

CSndMmioFile::~CSndMmioFile() {
    Close();
}

bool CSndMmioFile::Open(const std::string& name, SnxMmioInfo* info) {
    Close();
    position_ = 0;
    if (info != nullptr && info->ioProc == SnxMmioInfo::kMemory) {
        if (info->buffer == nullptr) {
            info->errorRet = kErrFileNotFound;
            return false;
        }
        memory_ = info->buffer;
        memorySize_ = info->bufferSize;
        return true;
    }
    file_ = std::fopen(name.c_str(), "rb");
    if (file_ == nullptr) {
        if (info != nullptr) {
            info->errorRet = kErrFileNotFound;
        }
        return false;
    }
    return true;
}

uint32_t CSndMmioFile::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    memory_ = nullptr;
    memorySize_ = 0;
    return 0;
}

int64_t CSndMmioFile::Size() const {
    if (memory_ != nullptr) {
        return memorySize_;
    }
    const long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end;
}

bool CSndMmioFile::SeekTo(int64_t position) {
    if (!IsOpen() || position < 0 || position > kMaxPosition) {
        return false;
    }
    if (file_ != nullptr && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
        return false;
    }
    position_ = position;
    return true;
}

int32_t CSndMmioFile::Seek(int32_t offset, int origin) {
    if (!IsOpen()) {
        return -1;
    }
    int64_t base = 0;
    if (origin == SEEK_CUR) {
        base = position_;
    } else if (origin == SEEK_END) {
        base = Size();
    }
    return SeekTo(base + offset) ? static_cast<int32_t>(position_) : -1;
}

int32_t CSndMmioFile::Read(void* buffer, int32_t length) {
    if (!IsOpen() || length < 0) {
        return -1;
    }
    std::size_t count = 0;
    if (memory_ != nullptr) {
        if (position_ < memorySize_) {
            count = std::min<std::size_t>(std::size_t(length), memorySize_ - position_);
            std::memcpy(buffer, memory_ + position_, count);
        }
    } else {
        count = std::fread(buffer, 1, std::size_t(length), file_);
        if (count < std::size_t(length) && std::ferror(file_)) {
            return -1;
        }
    }
    position_ += int64_t(count);
    return static_cast<int32_t>(count);
}

uint32_t CSndMmioFile::Flush() {
    return 0;  // read-only: nothing waits to be written
}

uint32_t CSndMmioFile::Descend(Chunk* chunk, const Chunk* parent, uint32_t flags) {
    const int64_t end = parent != nullptr ? int64_t(parent->dataOffset) + parent->size
                                          : std::numeric_limits<int64_t>::max();
    for (;;) {
        const int64_t start = position_;
        unsigned char header[12];
        if (start + 8 > end || Read(header, 8) != 8) {
            return kErrChunkNotFound;
        }
        Chunk found;
        found.id = LittleEndian32(header);
        found.size = LittleEndian32(header + 4);
        found.dataOffset = static_cast<uint32_t>(start + 8);
        if (found.id == kRiff || found.id == kList) {
            if (Read(header + 8, 4) != 4) {
                return kErrChunkNotFound;
            }
            found.formType = LittleEndian32(header + 8);
        }
        if (Matches(found, *chunk, flags)) {
            *chunk = found;
            return 0;
        }
        // Skip the chunk and its pad byte; a size that runs past what can be addressed ends the
        // search.
        const int64_t next = start + 8 + int64_t(found.size) + (found.size & 1);
        if (!SeekTo(next)) {
            return kErrChunkNotFound;
        }
    }
}

uint32_t CSndMmioFile::Ascend(const Chunk& chunk) {
    const int64_t next = int64_t(chunk.dataOffset) + chunk.size + (chunk.size & 1);
    return SeekTo(next) ? 0 : kErrCannotSeek;
}
