#pragma once
// Reader of RIFF/WAVE files: finds the format and the sample data, then reads the file
// sequentially from 100 bytes into the data chunk on, past the chunk's end up to the file's end.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/CSndMmioFile.h"
#include "audio/SndWaveTypes.h"

class CStreamWaveFile {
public:
    static constexpr uint32_t kMaxPath = 260;
    // Sample data read first starts this far into the data chunk.
    static constexpr int32_t kSkippedBytes = 100;

    CStreamWaveFile();
    virtual ~CStreamWaveFile();
    CStreamWaveFile(const CStreamWaveFile&) = delete;
    CStreamWaveFile& operator=(const CStreamWaveFile&) = delete;

    // 0 on success, nonzero on failure (the file is then closed). `size` is the name's buffer
    // size and is not needed here.
    virtual uint32_t Open(const char* name, uint32_t size);
    virtual uint32_t Close();
    // Bytes read, 0 at the end of the file or when closed, negative on a read error.
    virtual int32_t Read(void* buffer, int32_t length);
    // Direction 1 moves forward, any other back; returns the new position.
    virtual int32_t Seek(int32_t delta, int direction);
    virtual void Reset();

    // Opens a RIFF image held in memory (kept alive by the caller) as if it were a file.
    uint32_t OpenMemory(const void* data, uint32_t size);

    bool IsClosed() const { return closed_ != 0; }
    const WAVEFORMATEX& GetWaveFormat() const;
    int32_t GetPosition() const { return position_; }
    int32_t GetFileStart() const { return fileStart_; }
    int32_t GetFileEnd() const { return fileEnd_; }
    int32_t GetDataStart() const { return dataStart_; }
    uint32_t GetDataLength() const { return dataLength_; }
    const char* GetReaderFileName() const { return fileName_; }

private:
    void ClearPositions();

    int32_t fileStart_ = 0;
    int32_t fileEnd_ = 0;
    int32_t fileLength_ = 0;
    int32_t dataStart_ = 0;
    uint32_t dataLength_ = 0;
    std::unique_ptr<uint8_t[]> format_;
    uint32_t closed_ = 1;
    CSndMmioFile file_;
    std::unique_ptr<SnxMmioInfo> ioInfo_;
    CSndMmioFile::Chunk riffChunk_;
    CSndMmioFile::Chunk formatChunk_;
    CSndMmioFile::Chunk dataChunk_;
    uint32_t largestFormatSize_ = sizeof(WAVEFORMATEX);
    int32_t position_ = 0;
    char fileName_[kMaxPath] = {};
};
