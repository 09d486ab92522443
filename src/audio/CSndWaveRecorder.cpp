#include "audio/CSndWaveRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr uint32_t kHeaderBytes = 44;
// The RIFF size field counts everything after the first 8 bytes and is 32 bits wide.
constexpr uint32_t kMaxDataBytes = std::numeric_limits<uint32_t>::max() - (kHeaderBytes - 8) - 1;

void Put16(unsigned char* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(unsigned char* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

static_assert(std::endian::native == std::endian::little, "samples are written as held");

}  // namespace

CSndWaveRecorder::~CSndWaveRecorder() {
    Close();
}

QString CSndWaveRecorder::Folder(const QString& settingsFolder) {
    return settingsFolder + "/Recordings";
}

QString CSndWaveRecorder::FileName(const QDateTime& when, int receiver, int32_t frequency) {
    return QString("%1 Receiver %2 %3 Hz.wav")
        .arg(when.toString("yyyy-MM-dd HH-mm-ss"))
        .arg(receiver)
        .arg(frequency);
}

bool CSndWaveRecorder::Open(const QString& path, uint32_t sampleRate) {
    Close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    file_ = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (file_ == nullptr) {
        return false;
    }
    path_ = path;
    sampleRate_ = sampleRate;
    dataBytes_ = 0;
    if (!WriteHeader()) {
        Close();
        return false;
    }
    return true;
}

bool CSndWaveRecorder::WriteHeader() {
    unsigned char h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, kHeaderBytes - 8 + dataBytes_);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);  // PCM
    Put16(h + 22, 1);  // mono
    Put32(h + 24, sampleRate_);
    Put32(h + 28, sampleRate_ * 2);
    Put16(h + 32, 2);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataBytes_);
    // The samples reach the disk before the sizes that count them.
    const bool ok = std::fflush(file_) == 0 && std::fseek(file_, 0, SEEK_SET) == 0 &&
                    std::fwrite(h, 1, sizeof h, file_) == sizeof h &&
                    std::fseek(file_, 0, SEEK_END) == 0 && std::fflush(file_) == 0;
    lastHeader_ = std::chrono::steady_clock::now();
    return ok;
}

bool CSndWaveRecorder::Write(const int16_t* samples, uint32_t count) {
    if (file_ == nullptr || count > (kMaxDataBytes - dataBytes_) / 2) {
        return false;
    }
    if (std::fwrite(samples, 2, count, file_) != count) {
        return false;
    }
    dataBytes_ += 2 * count;
    if (std::chrono::steady_clock::now() - lastHeader_ >= kHeaderInterval) {
        return WriteHeader();
    }
    return true;
}

bool CSndWaveRecorder::Flush() {
    return file_ != nullptr && WriteHeader();
}

void CSndWaveRecorder::Close() {
    if (file_ == nullptr) {
        return;
    }
    WriteHeader();
    std::fclose(file_);
    file_ = nullptr;
}
