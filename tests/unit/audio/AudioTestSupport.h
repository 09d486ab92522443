#pragma once
// Shared by the audio tests: the virtual sound card, reading back a WAV file, a disk that fills up.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <vector>

#include "MessageRecorder.h"
#include "TestSupport.h"

// Tests that run devices use the real-time virtual card unless they ask for the sound server.
inline void UseVirtualCard() {
    EnsureCoreApp();
    qputenv("K740RX_AUDIO", "virtual");
}
// As a fixture's first member: the card is chosen before any window or device exists.
struct VirtualCard {
    VirtualCard() { UseVirtualCard(); }
};

using MessageSink = MessageRecorder;

struct WaveFileContents {
    bool valid = false;
    uint32_t riffSize = 0;
    uint32_t sampleRate = 0;
    uint16_t channels = 0;
    uint16_t bits = 0;
    uint32_t dataSize = 0;
    std::vector<int16_t> samples;  // as many as the header counts
};

// Reads a 44-byte-header PCM WAV as the recorder writes it.
inline WaveFileContents ReadWaveFile(const QString& path) {
    QFile f(path);
    const QByteArray all = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    WaveFileContents w;
    if (all.size() < 44 || !all.startsWith("RIFF") || all.mid(8, 8) != "WAVEfmt " ||
        all.mid(36, 4) != "data") {
        return w;
    }
    const char* d = all.constData();
    w.riffSize = qFromLittleEndian<uint32_t>(d + 4);
    w.channels = qFromLittleEndian<uint16_t>(d + 22);
    w.sampleRate = qFromLittleEndian<uint32_t>(d + 24);
    w.bits = qFromLittleEndian<uint16_t>(d + 34);
    w.dataSize = qFromLittleEndian<uint32_t>(d + 40);
    if (qint64(w.dataSize) + 44 <= all.size()) {
        w.samples.resize(w.dataSize / 2);
        std::copy_n(d + 44, w.samples.size() * 2, reinterpret_cast<char*>(w.samples.data()));
        w.valid = true;
    }
    return w;
}

// While it lives, no file of this process can grow beyond `bytes`: a write past that fails with
// "File too large", as one fails on a full disk with "No space left on device". The limit binds
// root too, and the signal that would end the process is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved_), 0);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
};
