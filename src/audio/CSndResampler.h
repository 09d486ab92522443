#pragma once
// Sample-rate converter for blocks of 16-bit mono samples: polyphase interpolation with an 8-tap
// windowed-sinc kernel held in a fixed-point table. The controller turns the player's 48000 Hz
// blocks into the output's 64000 Hz with it.
#include <cstdint>
#include <memory>

class CSndResampler {
public:
    static constexpr uint32_t kTaps = 8;
    static constexpr uint32_t kRows = 2049;
    static constexpr uint32_t kHistory = 16;             // samples kept from the previous block
    static constexpr uint32_t kStartPosition = 0x80000;  // 8.0 in 16.16: 8 samples into the history
    // The 16.16 read position reaches 8 + the block length, which must stay below 65536.
    static constexpr uint32_t kMaxBlockLength = 65527;
    static constexpr double kMaxOutputLength = 1 << 24;

    CSndResampler();
    ~CSndResampler();
    CSndResampler(const CSndResampler&) = delete;
    CSndResampler& operator=(const CSndResampler&) = delete;

    // 1 on success; 0 when a buffer cannot be allocated or the rates and the block length are
    // beyond what the converter can do (IsPossible), which leaves it producing nothing until a
    // configuration succeeds.
    int Configure(float inputRate, float outputRate, uint32_t blockLength);
    // Positive, finite rates whose ratio gives a step of at least 1/65536 of a sample and blocks of
    // at most kMaxBlockLength samples that convert into at most kMaxOutputLength samples.
    static bool IsPossible(float inputRate, float outputRate, uint32_t blockLength);
    // Converts one block; the result stays valid until the next call. A block of another length
    // than configured reconfigures first, which clears the kept history.
    const int16_t* Process(const int16_t* samples, uint32_t count, uint32_t* outCount);

    uint32_t GetStep() const { return step_; }
    uint32_t GetBlockLength() const { return blockLength_; }

    // The kernel value of tap k (0..7) at fractional position x, with window number `window`
    // (2 is Blackman, the one the table uses).
    static float Kernel(int k, float x, int window);
    // The shared coefficient table: row r holds the 8 taps for x = (r - 1024) / 2048.
    static const int16_t* Table();

private:
    // Produces `count` samples from history `h` holding `n` + 16 samples.
    void Run(uint32_t n, uint32_t count);

    std::unique_ptr<int16_t[]> output_;
    uint32_t outputCapacity_ = 0;
    float inputRate_ = 0;
    float outputRate_ = 0;
    uint32_t blockLength_ = 0;
    uint32_t position_ = 0;
    uint32_t step_ = 0;
    std::unique_ptr<int16_t[]> history_;
    uint32_t historyCapacity_ = 0;
    bool ready_ = false;
};
