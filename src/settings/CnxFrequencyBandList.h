#pragma once
// The user's band list: named frequency ranges read from a small comma-separated text file (start
// MHz, end MHz, name per line). The band display shows the first band that holds the frequency.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct nxFrequencyBand {
    std::string name;   // at most kMaxTextLength characters
    int32_t start = 0;  // Hz, inclusive
    int32_t end = 0;    // Hz, inclusive
};

class CnxFrequencyBandList {
public:
    static constexpr std::size_t kMaxTextLength = 199;

    // Replaces the records with the file's. A file that cannot be opened keeps the current records
    // and returns false.
    bool LoadFromFile(const std::string& path);
    // Replaces the records with those of a band file's text.
    void LoadFromText(std::string_view text);
    void Clear() { bands_.clear(); }

    // The first band, in file order, with start <= f <= end; null when none holds f.
    const nxFrequencyBand* Find(int64_t frequency) const;

    bool IsEmpty() const { return bands_.empty(); }
    std::size_t GetCount() const { return bands_.size(); }
    const std::vector<nxFrequencyBand>& GetBands() const { return bands_; }

    // A field in MHz as whole hertz, rounded through single precision as the band edges always
    // were: 161.125 gives 161124992. Text that is not a number gives 0; values beyond the 32-bit
    // range saturate.
    static int32_t MegahertzToHertz(const char* text);

private:
    std::vector<nxFrequencyBand> bands_;
};

// Puts the shipped default band list into the data folder, whole or not at all, when the user has
// none there yet (an empty file counts as none); a user's own file is never touched. True when
// the data folder holds a band file afterwards.
bool EnsureDefaultBandFile(const std::string& dataDir, const std::string& defaultFilePath);
