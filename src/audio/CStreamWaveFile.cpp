#include "audio/CStreamWaveFile.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// There is no compression manager here to name a larger format, so the largest format that a
// file may carry is the plain PCM record.
constexpr uint32_t kLargestFormatSize = sizeof(WAVEFORMATEX);
// A format chunk holds at least the fields up to the bits per sample.
constexpr uint32_t kSmallestFormatSize = 16;
// WAVE_FORMAT_EXTENSIBLE: the plain record, three more fields and the sub-format's GUID, which
// for PCM samples is 00000001-0000-0010-8000-00aa00389b71.
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kExtensibleFormatSize = 40;
constexpr uint32_t kSubFormatOffset = 24;
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

// Which of the bytes of a format chunk to take over as the file's format: an extensible format
// with PCM inside is read as plain PCM; false for a chunk that cannot be used.
bool TakeFormat(uint8_t* chunk, uint32_t size, uint32_t largest) {
    uint16_t tag;
    std::memcpy(&tag, chunk, sizeof tag);
    if (tag == kFormatExtensible) {
        if (size < kExtensibleFormatSize ||
            std::memcmp(chunk + kSubFormatOffset, kPcmSubFormat, sizeof kPcmSubFormat) != 0) {
            return false;
        }
        std::memcpy(chunk, &WAVE_FORMAT_PCM, sizeof tag);
        return true;
    }
    return size <= largest;
}

}  // namespace

CStreamWaveFile::CStreamWaveFile() {
    Reset();
}

CStreamWaveFile::~CStreamWaveFile() {
    Close();
}

void CStreamWaveFile::ClearPositions() {
    fileStart_ = 0;
    fileEnd_ = 0;
    fileLength_ = 0;
    dataStart_ = 0;
    dataLength_ = 0;
    position_ = 0;
}

void CStreamWaveFile::Reset() {
    ClearPositions();
    largestFormatSize_ = kLargestFormatSize;
    if (!format_) {
        format_.reset(new uint8_t[largestFormatSize_]());
    }
    // The extra-size field says how much room the buffer has until a format is read into it.
    const auto extra = static_cast<uint16_t>(largestFormatSize_);
    std::memcpy(format_.get() + offsetof(WAVEFORMATEX, extraSize), &extra, sizeof extra);
    riffChunk_ = {};
    formatChunk_ = {};
    dataChunk_ = {};
    riffChunk_.formType = MakeFourCC('W', 'A', 'V', 'E');
    formatChunk_.id = MakeFourCC('f', 'm', 't', ' ');
    dataChunk_.id = MakeFourCC('d', 'a', 't', 'a');
}

const WAVEFORMATEX& CStreamWaveFile::GetWaveFormat() const {
    return *reinterpret_cast<const WAVEFORMATEX*>(format_.get());
}

uint32_t CStreamWaveFile::OpenMemory(const void* data, uint32_t size) {
    // Closing frees the I/O information, so the open one goes first.
    if (CStreamWaveFile::Close() != 0) {
        return 1;
    }
    ioInfo_ = std::make_unique<SnxMmioInfo>();
    ioInfo_->ioProc = SnxMmioInfo::kMemory;
    ioInfo_->buffer = static_cast<const char*>(data);
    ioInfo_->bufferSize = size;
    const uint32_t result = Open("memory", 0);
    if (closed_) {
        ioInfo_.reset();  // a failed open leaves it behind, and it names this memory only
    }
    return result;
}

uint32_t CStreamWaveFile::Open(const char* name, uint32_t) {
    if (name == nullptr || name[0] == '\0') {
        return 1;
    }
    // The reader's own Close: a derived device's Close would stop the device as well.
    if (!closed_ && CStreamWaveFile::Close() != 0) {
        return 1;
    }
    std::memset(fileName_, 0, sizeof fileName_);
    std::strncpy(fileName_, name, kMaxPath - 1);
    if (!file_.Open(fileName_, ioInfo_.get())) {
        return ioInfo_ ? ioInfo_->errorRet : 1;
    }
    closed_ = 0;
    fileEnd_ = file_.Seek(0, SEEK_END);
    fileStart_ = file_.Seek(0, SEEK_SET);
    fileLength_ = fileEnd_ - fileStart_;

    const auto fail = [this](uint32_t result) {
        CStreamWaveFile::Close();
        return result;
    };
    if (file_.Descend(&riffChunk_, nullptr, CSndMmioFile::kFindRiff) != 0) {
        return fail(1);
    }
    if (file_.Descend(&formatChunk_, &riffChunk_, CSndMmioFile::kFindChunk) != 0) {
        return fail(1);
    }
    if (formatChunk_.size < kSmallestFormatSize || formatChunk_.size > kExtensibleFormatSize) {
        return fail(1);
    }
    uint8_t chunk[kExtensibleFormatSize] = {};
    const auto formatSize = static_cast<int32_t>(formatChunk_.size);
    if (file_.Read(chunk, formatSize) != formatSize ||
        !TakeFormat(chunk, formatChunk_.size, largestFormatSize_)) {
        return fail(1);
    }
    // Nothing of an earlier file's format stays behind.
    std::memset(format_.get(), 0, largestFormatSize_);
    std::memcpy(format_.get(), chunk, std::min(formatChunk_.size, largestFormatSize_));
    std::memset(format_.get() + offsetof(WAVEFORMATEX, extraSize), 0, sizeof(uint16_t));
    if (const uint32_t result = file_.Ascend(formatChunk_); result != 0) {
        return fail(result);
    }
    if (file_.Descend(&dataChunk_, &riffChunk_, CSndMmioFile::kFindChunk) != 0) {
        return fail(1);
    }
    if (dataChunk_.size == 0) {
        return fail(1);
    }
    dataLength_ = dataChunk_.size;
    // The head of the sample data is never played.
    const int32_t start = file_.Seek(kSkippedBytes, SEEK_CUR);
    if (start < 0) {
        return fail(1);
    }
    dataStart_ = position_ = start;
    return 0;
}

uint32_t CStreamWaveFile::Close() {
    if (closed_) {
        return 0;
    }
    const uint32_t result = file_.Close();
    if (result == 0) {
        closed_ = 1;
    }
    ioInfo_.reset();
    ClearPositions();
    return result;
}

int32_t CStreamWaveFile::Read(void* buffer, int32_t length) {
    if (buffer == nullptr || closed_) {
        return 0;
    }
    const int32_t count = file_.Read(buffer, length);
    if (count <= 0) {
        return count;
    }
    position_ += count;
    return count;
}

int32_t CStreamWaveFile::Seek(int32_t delta, int direction) {
    if (direction == 1) {
        position_ = static_cast<int32_t>(std::min<int64_t>(int64_t(position_) + delta, fileEnd_));
    } else {
        const int64_t back = int64_t(position_) - delta;
        position_ = back <= fileStart_ ? fileStart_ : static_cast<int32_t>(back);
    }
    if (!closed_) {
        file_.Flush();
        file_.Seek(position_, SEEK_SET);
    }
    return position_;
}
