#pragma once
// The window functions that shape a block before analysis or the FIR's coefficients. Weights are
// computed once per type and length and kept, so applying a window is one multiply per sample.
// An object is meant for one thread; each user keeps its own.
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

class CWindow {
public:
    static constexpr int kRectangular = 0;
    static constexpr int kHanning = 1;
    static constexpr int kHamming = 2;
    static constexpr int kBlackman = 3;
    static constexpr int kFlatTop = 4;
    static constexpr int kBartlettHanning = 5;
    static constexpr int kBartlett = 6;
    static constexpr int kBlackmanHarris = 7;
    static constexpr int kBohman = 8;
    static constexpr int kGaussian = 9;
    static constexpr int kTriangular = 10;
    static constexpr int kTypeCount = 11;

    // Multiplies samples[i] by the type's weight w(i) for 0 <= i < n. False (nothing changes) for
    // a null array, n <= 0 or an unknown type.
    bool Apply(int type, float* samples, int n);

    // Copies the display name, at most `size` characters, NUL-terminated when there is room, and
    // returns the name's full length; an unknown type is named "N/A".
    static int GetName(int type, char* buffer, std::size_t size);
    static const char* Name(int type);

    // The weights Apply uses: one per sample, already rounded to single precision.
    const std::vector<float>& Weights(int type, int n);

private:
    // Enough for the few lengths a program uses; beyond it the cache starts afresh.
    static constexpr std::size_t kMaxCachedTables = 32;

    std::map<std::pair<int, int>, std::vector<float>> tables_;
    // The last table asked for: most callers apply one window over and over.
    std::pair<int, int> lastKey_{-1, 0};
    const std::vector<float>* last_ = nullptr;
};
