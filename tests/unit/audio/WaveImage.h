#pragma once
// Builds RIFF/WAVE images byte by byte for the audio tests, including malformed ones.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class WaveImage {
public:
    std::vector<uint8_t> bytes;

    WaveImage& Text(const char* fourcc) {
        bytes.insert(bytes.end(), fourcc, fourcc + 4);
        return *this;
    }
    WaveImage& U16(uint32_t v) {
        bytes.push_back(uint8_t(v));
        bytes.push_back(uint8_t(v >> 8));
        return *this;
    }
    WaveImage& U32(uint32_t v) {
        U16(v & 0xFFFF);
        return U16(v >> 16);
    }
    WaveImage& Fill(std::size_t n, uint8_t value) {
        bytes.insert(bytes.end(), n, value);
        return *this;
    }
    // Sample i of a ramp: its byte pair reads back as int16 i, so positions are easy to check.
    WaveImage& Ramp(std::size_t samples, int first = 0) {
        for (std::size_t i = 0; i < samples; ++i) {
            U16(uint16_t(int(i) + first));
        }
        return *this;
    }
    WaveImage& Header(uint32_t riffSize = 0xFFFFFFFF) {
        return Text("RIFF").U32(riffSize).Text("WAVE");
    }
    WaveImage& Format(uint32_t rate = 48000, uint16_t channels = 1, uint16_t bits = 16,
                      uint32_t chunkSize = 16) {
        const uint16_t align = uint16_t(channels * bits / 8);
        Text("fmt ").U32(chunkSize).U16(1).U16(channels);
        U32(rate).U32(rate * align).U16(align).U16(bits);
        if (chunkSize > 16) {
            Fill(chunkSize - 16, 0xEE);
        }
        return *this;
    }
    // WAVE_FORMAT_EXTENSIBLE (40-byte chunk) with the given sub-format GUID's first field; the
    // rest of the GUID is the one all the standard sub-formats share (1 is PCM, 3 IEEE float).
    WaveImage& Extensible(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t subFormat) {
        const uint16_t align = uint16_t(channels * bits / 8);
        Text("fmt ").U32(40).U16(0xFFFE).U16(channels).U32(rate).U32(rate * align).U16(align);
        U16(bits).U16(22).U16(bits).U32(channels == 2 ? 3 : 4);  // valid bits, speaker mask
        U32(subFormat).U16(0x0000).U16(0x0010);
        const uint8_t tail[8] = {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
        bytes.insert(bytes.end(), tail, tail + 8);
        return *this;
    }
    WaveImage& DataHeader(uint32_t size) { return Text("data").U32(size); }
    // Patches the RIFF size to the image's real size.
    WaveImage& FixRiffSize() {
        const uint32_t size = uint32_t(bytes.size() - 8);
        for (int i = 0; i < 4; ++i) {
            bytes[4 + i] = uint8_t(size >> (8 * i));
        }
        return *this;
    }

    // A plain mono 16-bit file with `samples` ramp samples.
    static WaveImage Mono16(std::size_t samples, uint32_t rate = 48000) {
        WaveImage w;
        w.Header().Format(rate).DataHeader(uint32_t(samples * 2)).Ramp(samples);
        return w.FixRiffSize();
    }

    bool Save(const std::string& path) const {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) {
            return false;
        }
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && ok;
    }
};
