#pragma once
// Shared by the audio tests: the virtual sound card for the test process, a message target that
// hands its messages to a function, and reading back a WAV file the program wrote.
#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "TestSupport.h"
#include "core/TmyComponent.h"

// Tests that run devices use the real-time virtual card unless they ask for the sound server.
inline void UseVirtualCard() {
    EnsureCoreApp();
    qputenv("K740RX_AUDIO", "virtual");
}
// As a fixture's first member: the card is chosen before any window or device exists.
struct VirtualCard {
    VirtualCard() { UseVirtualCard(); }
};

class MessageSink : public TmyComponent {
public:
    std::function<void(const TmyMessage&)> handler;
    std::vector<TmyMessage> received;

protected:
    void OnWindowMessage(const TmyMessage& m) override {
        received.push_back(m);
        if (handler) {
            handler(m);
        }
    }
};

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
    WaveFileContents w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return w;
    }
    const QByteArray all = f.readAll();
    if (all.size() < 44 || std::memcmp(all.constData(), "RIFF", 4) != 0 ||
        std::memcmp(all.constData() + 8, "WAVEfmt ", 8) != 0 ||
        std::memcmp(all.constData() + 36, "data", 4) != 0) {
        return w;
    }
    auto u32 = [&](int at) {
        uint32_t v;
        std::memcpy(&v, all.constData() + at, 4);
        return v;
    };
    auto u16 = [&](int at) {
        uint16_t v;
        std::memcpy(&v, all.constData() + at, 2);
        return v;
    };
    w.riffSize = u32(4);
    w.channels = u16(22);
    w.sampleRate = u32(24);
    w.bits = u16(34);
    w.dataSize = u32(40);
    if (qint64(w.dataSize) + 44 > all.size()) {
        return w;
    }
    w.samples.resize(w.dataSize / 2);
    if (!w.samples.empty()) {
        std::memcpy(w.samples.data(), all.constData() + 44, w.samples.size() * 2);
    }
    w.valid = true;
    return w;
}
