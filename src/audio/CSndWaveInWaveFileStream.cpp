#include "audio/CSndWaveInWaveFileStream.h"

#include <cstring>

namespace {

// Counts delivered blocks across all wave-file sources, for the position reports.
uint32_t g_blockCounter = 0;
constexpr uint32_t kPositionEvery = 5;
constexpr uint32_t kRefusedRate = 64000;

}  // namespace

CSndWaveInWaveFileStream::CSndWaveInWaveFileStream(HWND callback) : CSndWaveInDevice(callback) {}

CSndWaveInWaveFileStream::~CSndWaveInWaveFileStream() {
    CSndWaveInDevice::Close();
}

uint32_t CSndWaveInWaveFileStream::SetFileName(const char* name) {
    if (name != nullptr) {
        std::memset(fileName_, 0, sizeof fileName_);
        std::strncpy(fileName_, name, kMaxPath - 1);
    }
    if (const uint32_t result = CStreamWaveFile::Open(fileName_, kMaxPath); result != 0) {
        return result;
    }
    const uint32_t result = GetWaveFormat().samplesPerSecond == kRefusedRate ? 1 : 0;
    CStreamWaveFile::Close();
    lastRead_ = 0;
    return result;
}

MMRESULT CSndWaveInWaveFileStream::Open() {
    const uint32_t result = CStreamWaveFile::Open(fileName_, kMaxPath);
    fileUnusable_ = result != 0;
    if (fileUnusable_) {
        SetLastError(result);
        return result;
    }
    SetFormat(GetWaveFormat());
    return CSndWaveInDevice::Open();
}

MMRESULT CSndWaveInWaveFileStream::Close() {
    if (const MMRESULT result = CSndWaveInDevice::Close(); result != MMSYSERR_NOERROR) {
        return result;
    }
    CStreamWaveFile::Close();
    lastRead_ = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT CSndWaveInWaveFileStream::OnData(WAVEHDR* header) {
    if (lastRead_ == kFinished) {
        const MMRESULT result = waveInUnprepareHeader(GetHandle(), header, sizeof *header);
        return result != MMSYSERR_NOERROR ? result : kFinished;
    }
    const auto length = static_cast<int32_t>(header->dwBytesRecorded);
    lastRead_ = static_cast<uint32_t>(Read(header->lpData, length));
    if (g_blockCounter == 0) {
        OnPosition.Raise(this, GetPosition());
    }
    g_blockCounter = (g_blockCounter + 1) % kPositionEvery;
    if (lastRead_ < kBufferSize) {
        // Start over: the short tail just read is overwritten and never played.
        CStreamWaveFile::Reset();
        CStreamWaveFile::Open(fileName_, kMaxPath);
        lastRead_ = static_cast<uint32_t>(Read(header->lpData, length));
    }
    return CSndWaveInDevice::OnData(header);
}
