#include "audio/CSndWaveRecorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>

#include "audio/K740RXAudioLog.h"

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

// Writes all bytes at the position, as far as the file takes them; false with errno saying why.
bool WriteAllAt(int fd, const unsigned char* bytes, std::size_t size, off_t position) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, bytes, size, position);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? ENOSPC : errno;
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
        position += written;
    }
    return true;
}

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

void CSndWaveRecorder::Fail(const QString& what, int error) {
    error_ = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

bool CSndWaveRecorder::Open(const QString& path, uint32_t sampleRate) {
    Close();
    error_.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());  // when it cannot be made, the open says why
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        Fail(QStringLiteral("%1 cannot be created").arg(path), errno);
        return false;
    }
    path_ = path;
    sampleRate_ = sampleRate;
    dataBytes_ = 0;
    if (!WriteHeader() || ::lseek(fd_, kHeaderBytes, SEEK_SET) < 0) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        ::unlink(name.constData());  // an empty file would only puzzle
        Fail(QStringLiteral("%1 cannot be written").arg(path), error);
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
    // Written in place: the samples it counts are already in the file.
    const bool ok = WriteAllAt(fd_, h, sizeof h, 0);
    lastHeader_ = std::chrono::steady_clock::now();
    return ok;
}

bool CSndWaveRecorder::Write(const int16_t* samples, uint32_t count) {
    if (fd_ < 0) {
        return false;
    }
    if (count > (kMaxDataBytes - dataBytes_) / 2) {
        EndAfterFailure(EFBIG);  // a WAV file counts its bytes in 32 bits
        return false;
    }
    const auto* bytes = reinterpret_cast<const char*>(samples);
    std::size_t left = std::size_t(count) * 2;
    while (left > 0) {
        const ssize_t written = ::write(fd_, bytes, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            EndAfterFailure(written < 0 ? errno : ENOSPC);
            return false;
        }
        dataBytes_ += uint32_t(written);
        bytes += written;
        left -= std::size_t(written);
    }
    if (std::chrono::steady_clock::now() - lastHeader_ >= kHeaderInterval && !WriteHeader()) {
        EndAfterFailure(errno);
        return false;
    }
    return true;
}

void CSndWaveRecorder::EndAfterFailure(int error) {
    Fail(QStringLiteral("Recording to %1 stopped").arg(path_), error);
    dataBytes_ &= ~1u;  // half a sample is no sample
    // Cutting and rewriting in place need no new room on the disk.
    if (::ftruncate(fd_, off_t(kHeaderBytes) + dataBytes_) != 0 || !WriteHeader()) {
        qCWarning(lcAudio) << "The header of" << path_ << "could not be brought up to date";
    }
    ::close(fd_);
    fd_ = -1;
}

bool CSndWaveRecorder::Flush() {
    return fd_ >= 0 && WriteHeader();
}

void CSndWaveRecorder::Close() {
    if (fd_ < 0) {
        return;
    }
    WriteHeader();
    ::close(fd_);
    fd_ = -1;
}
