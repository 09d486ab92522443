#pragma once
// One reference-counted sample buffer with the header that hands it to a wave device. Input
// buffers own new memory; output buffers copy the caller's block or point at it.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "audio/SndWaveApi.h"

class CSndWaveBuffer {
public:
    enum Kind : uint32_t { kOutput = 1, kInput = 2 };

    // New memory of `size` bytes, optionally cleared: an input buffer.
    static CSndWaveBuffer* CreateInput(uint32_t size, bool clear);
    // Over `data`: copied into new memory, or used in place (the caller keeps it alive).
    static CSndWaveBuffer* CreateOutput(const void* data, uint32_t size, bool copy);

    void AddRef() { ++references_; }
    // Destroys the buffer at the last reference.
    void Release();
    uint32_t GetReferences() const { return references_; }

    MMRESULT Prepare(SndWaveDevice* device);
    MMRESULT Unprepare();
    bool IsPrepared() const { return device_ != nullptr; }

    Kind GetKind() const { return kind_; }
    // Buffers that exist in this process: what the devices hold shows here.
    static std::size_t GetLiveCount() { return live_.load(std::memory_order_relaxed); }
    WAVEHDR* GetHeader() { return &header_; }
    char* GetData() { return header_.lpData; }
    uint32_t GetLength() const { return header_.dwBufferLength; }

private:
    CSndWaveBuffer(Kind kind, char* data, uint32_t size, bool ownsData);
    ~CSndWaveBuffer();

    static inline std::atomic<std::size_t> live_{0};

    uint32_t references_ = 1;
    Kind kind_;
    SndWaveDevice* device_ = nullptr;
    uint32_t ownsData_;
    WAVEHDR header_;
};
