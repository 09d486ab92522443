#pragma once
// Buffered reading of RIFF files, chunk by chunk: descend into a chunk (searching for one by id
// or by form type), ascend past its end, read and seek by byte position. The source is a file or
// a block of memory.
#include <cstdint>
#include <cstdio>
#include <string>

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// Where an open reads from when it is not a file: a block of memory the caller keeps alive.
struct SnxMmioInfo {
    static constexpr uint32_t kMemory = MakeFourCC('M', 'E', 'M', ' ');
    uint32_t ioProc = 0;
    const char* buffer = nullptr;
    uint32_t bufferSize = 0;
    uint32_t errorRet = 0;  // set when an open fails
};

class CSndMmioFile {
public:
    struct Chunk {
        uint32_t id = 0;
        uint32_t size = 0;
        uint32_t formType = 0;
        uint32_t dataOffset = 0;
        uint32_t flags = 0;
    };

    static constexpr uint32_t kFindChunk = 0x10;
    static constexpr uint32_t kFindRiff = 0x20;
    static constexpr uint32_t kFindList = 0x40;

    static constexpr uint32_t kErrFileNotFound = 257;
    static constexpr uint32_t kErrCannotSeek = 263;
    static constexpr uint32_t kErrChunkNotFound = 265;

    CSndMmioFile() = default;
    ~CSndMmioFile();
    CSndMmioFile(const CSndMmioFile&) = delete;
    CSndMmioFile& operator=(const CSndMmioFile&) = delete;

    // Opens `name`, or the memory that `info` describes. On failure info->errorRet says why.
    bool Open(const std::string& name, SnxMmioInfo* info);
    uint32_t Close();
    bool IsOpen() const { return file_ != nullptr || memory_ != nullptr; }

    // The new position, or -1.
    int32_t Seek(int32_t offset, int origin);
    // Bytes read (0 at the end), or -1.
    int32_t Read(void* buffer, int32_t length);
    uint32_t Flush();

    // With kFindChunk, kFindRiff or kFindList, searches from the current position (inside
    // `parent` when given) for the chunk whose id, or form type, `chunk` names; without, takes
    // the chunk at the current position. Leaves the position at the chunk's data, past the form
    // type of a RIFF or LIST chunk.
    uint32_t Descend(Chunk* chunk, const Chunk* parent, uint32_t flags);
    // Moves to the end of the chunk, past its pad byte.
    uint32_t Ascend(const Chunk& chunk);

private:
    bool SeekTo(int64_t position);
    int64_t Size() const;

    std::FILE* file_ = nullptr;
    const char* memory_ = nullptr;
    uint32_t memorySize_ = 0;
    int64_t position_ = 0;
};
