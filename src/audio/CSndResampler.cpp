#include "audio/CSndResampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "audio/CSndResamplerKernel.h"

namespace {

constexpr int kBlackman = 2;
constexpr float kCutoff = 0.9f;

alignas(16) int16_t g_table[CSndResampler::kRows * CSndResampler::kTaps];

void BuildTable() {
    for (uint32_t r = 0; r < CSndResampler::kRows; ++r) {
        const float x = static_cast<float>(static_cast<int>(r) - 1024) * (1.0f / 2048.0f);
        float c[CSndResampler::kTaps];
        float s = 0;
        for (uint32_t k = 0; k < CSndResampler::kTaps; ++k) {
            c[k] = CSndResampler::Kernel(static_cast<int>(k), x, kBlackman);
            s += c[k];
        }
        for (uint32_t k = 0; k < CSndResampler::kTaps; ++k) {
            const float q = std::floor(32768.0f * c[k] / s + 0.5f);
            g_table[r * CSndResampler::kTaps + k] =
                static_cast<int16_t>(std::clamp(q, -32768.0f, 32768.0f));
        }
    }
}

// Keeps a buffer when it is strictly larger than needed, else replaces it by one of exactly
// `needed` samples.
bool Ensure(std::unique_ptr<int16_t[]>& buffer, uint32_t& capacity, uint32_t needed) {
    if (buffer && capacity > needed) {
        return true;
    }
    buffer.reset();
    capacity = 0;
    buffer.reset(new (std::nothrow) int16_t[needed == 0 ? 1 : needed]);
    if (!buffer) {
        return false;
    }
    capacity = needed;
    return true;
}

}  // namespace

float CSndResampler::Kernel(int k, float x, int window) {
    constexpr float kN = kTaps;
    const float d = static_cast<float>(k) - x;
    const float t = d - (kN - 1) / 2;
    if (std::fabs(t) < 1e-8f) {
        return kCutoff;
    }
    const float w = 2.0f * static_cast<float>(M_PI) / (kN - 1);
    // Single precision throughout, except the trigonometric functions themselves.
    const float c1 = static_cast<float>(std::cos(double(w * d)));
    const float c2 = static_cast<float>(std::cos(double(2 * w * d)));
    const float c3 = static_cast<float>(std::cos(double(3 * w * d)));
    float win;
    switch (window) {
        case 0:
            win = 0.5f - 0.5f * c1;
            break;
        case 1:
            win = 0.54f - 0.46f * c1;
            break;
        case 2:
            win = 0.42f - 0.5f * c1 + 0.08f * c2;
            break;
        case 3:
            win = 0.44959f - 0.49364f * c1 + 0.05677f * c2;
            break;
        case 4:
            win = 0.42323f - 0.49755f * c1 + 0.07922f * c2;
            break;
        case 5:
            win = 0.35875f - 0.48829f * c1 + 0.14128f * c2 - 0.01168f * c3;
            break;
        case 6:
            win = 0.40217f - 0.49703f * c1 + 0.09392f * c2 - 0.00183f * c3;
            break;
        case 7:
            win = 0.40243f - 0.49804f * c1 + 0.09831f * c2 - 0.00122f * c3;
            break;
        default:
            win = 1.0f;
            break;
    }
    const float pit = static_cast<float>(M_PI) * t;
    const float sinc = static_cast<float>(std::sin(double(kCutoff * pit))) / pit;
    return win * sinc;
}

const int16_t* CSndResampler::Table() {
    return g_table;
}

CSndResampler::CSndResampler() {
    BuildTable();
    Configure(48000, 48000, 2048);
}

CSndResampler::~CSndResampler() = default;

bool CSndResampler::IsPossible(float inputRate, float outputRate, uint32_t blockLength) {
    if (!(inputRate > 0 && outputRate > 0) || !std::isfinite(inputRate) ||
        !std::isfinite(outputRate) || blockLength > kMaxBlockLength) {
        return false;
    }
    // The step and the output length must be whole numbers the converter can hold.
    const double step = double(inputRate) / outputRate * 65536;
    const double outputNeeded = double(blockLength) * outputRate / inputRate + 2.5;
    return step >= 1 && step < 4294967296.0 && outputNeeded <= kMaxOutputLength;
}

int CSndResampler::Configure(float inputRate, float outputRate, uint32_t blockLength) {
    inputRate_ = inputRate;
    outputRate_ = outputRate;
    blockLength_ = blockLength;
    // Nothing is converted until a configuration succeeds.
    ready_ = false;
    if (!IsPossible(inputRate, outputRate, blockLength)) {
        return 0;
    }
    // One sample beyond the kept history and the block: the highest tap index the read position
    // is clamped to reaches it.
    if (!Ensure(history_, historyCapacity_, blockLength + kHistory + 1)) {
        return 0;
    }
    std::fill_n(history_.get(), historyCapacity_, int16_t{0});
    step_ = static_cast<uint32_t>(inputRate / outputRate * 65536.0f);
    const auto outputNeeded =
        static_cast<uint32_t>(static_cast<float>(blockLength) * outputRate / inputRate + 2.5f);
    if (!Ensure(output_, outputCapacity_, outputNeeded)) {
        return 0;
    }
    position_ = kStartPosition;
    ready_ = true;
    return 1;
}

const int16_t* CSndResampler::Process(const int16_t* samples, uint32_t count, uint32_t* outCount) {
    *outCount = 0;
    if (count != blockLength_ && !Configure(inputRate_, outputRate_, count)) {
        return output_.get();
    }
    if (!ready_ || (samples == nullptr && count > 0)) {
        return output_.get();
    }
    if (count > 0) {
        std::memcpy(history_.get() + kHistory, samples, std::size_t{count} * sizeof(int16_t));
    }
    const auto produced =
        std::min(static_cast<uint32_t>(outputRate_ / inputRate_ * static_cast<float>(count)),
                 outputCapacity_);
    Run(count, produced);
    std::memmove(history_.get(), history_.get() + count, kHistory * sizeof(int16_t));
    position_ = kStartPosition;
    *outCount = produced;
    return output_.get();
}

void CSndResampler::Run(uint32_t n, uint32_t count) {
    const CSndResamplerKernel::Job job{g_table, history_.get(), n,    position_,
                                       step_,   output_.get(),  count};
    position_ = CSndResamplerKernel::RunVector(job);
}
