#include "settings/CnxFrequencyBandList.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <system_error>

#include "settings/CnxAtomicFile.h"

namespace {

// Collects the fields of one record while the file is read character by character.
class BandFileParser {
public:
    explicit BandFileParser(std::vector<nxFrequencyBand>& bands) : bands_(bands) {}

    void Feed(char c) {
        if (c == '"') {
            inQuotes_ = !inQuotes_;
        } else if (c == ',' && !inQuotes_) {
            EndField();
        } else if (c == '\n') {
            EndRecord();
        } else if (buffer_.size() < CnxFrequencyBandList::kMaxTextLength) {
            buffer_.push_back(c);
        }
    }

private:
    void EndField() {
        if (field_ == 0) {
            band_.start = CnxFrequencyBandList::MegahertzToHertz(buffer_.c_str());
        } else if (field_ == 1) {
            band_.end = CnxFrequencyBandList::MegahertzToHertz(buffer_.c_str());
        }
        Advance();
    }

    // A short line does not reset the field index, so the fields of the next lines shift; every
    // line still starts a fresh record.
    void EndRecord() {
        band_.name = buffer_.c_str();  // the name ends at a NUL byte, as a C string would
        bands_.push_back(band_);
        band_ = nxFrequencyBand{};
        Advance();
    }

    void Advance() {
        field_ = (field_ + 1) % 3;
        buffer_.clear();
    }

    std::vector<nxFrequencyBand>& bands_;
    nxFrequencyBand band_;
    std::string buffer_;
    int field_ = 0;
    bool inQuotes_ = false;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool CnxFrequencyBandList::LoadFromFile(const std::string& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, count);
    }
    LoadFromText(text);
    return true;
}

void CnxFrequencyBandList::LoadFromText(std::string_view text) {
    bands_.clear();
    BandFileParser parser(bands_);
    // Read as a text file: a carriage return before a line feed belongs to the line end.
    bool pendingReturn = false;
    for (const char c : text) {
        if (pendingReturn && c != '\n') {
            parser.Feed('\r');
        }
        pendingReturn = (c == '\r');
        if (!pendingReturn) {
            parser.Feed(c);
        }
    }
}

const nxFrequencyBand* CnxFrequencyBandList::Find(int64_t frequency) const {
    for (const nxFrequencyBand& band : bands_) {
        if (band.start <= frequency && frequency <= band.end) {
            return &band;
        }
    }
    return nullptr;
}

namespace {

// The number at the start of the text, as strtod reads it but always with a decimal point: the
// GUI library switches the C locale to the user's, where "136.375" would read as 136.
double LeadingNumber(const char* text) {
    while (*text == ' ' || *text == '\t') {
        ++text;
    }
    if (*text == '+') {
        ++text;
    }
    double value = 0.0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

}  // namespace

int32_t CnxFrequencyBandList::MegahertzToHertz(const char* text) {
    const double parsed = LeadingNumber(text);
    if (std::isnan(parsed)) {
        return 0;
    }
    // Far outside the 32-bit range (and out of float range, where the conversion would be
    // undefined) the result saturates without going through float.
    constexpr double kFarOut = 1.0e6;
    if (parsed > kFarOut) {
        return std::numeric_limits<int32_t>::max();
    }
    if (parsed < -kFarOut) {
        return std::numeric_limits<int32_t>::min();
    }
    const float hertz = static_cast<float>(parsed) * 1000000.0f;
    // 2^31 is the first float above the int32 range; -2^31 itself is still in range.
    constexpr float kLimit = 2147483648.0f;
    if (hertz >= kLimit) {
        return std::numeric_limits<int32_t>::max();
    }
    if (hertz < -kLimit) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(hertz);
}

bool EnsureDefaultBandFile(const std::string& dataDir, const std::string& defaultFilePath) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::path(dataDir) / "Channels.csv";
    // An empty file is what a full disk left behind on an earlier start, not the user's list.
    if (fs::exists(target, error) && fs::file_size(target, error) != 0) {
        return true;
    }
    std::ifstream shipped(defaultFilePath, std::ios::binary);
    std::ostringstream text;
    if (!shipped || !(text << shipped.rdbuf())) {
        return false;
    }
    fs::create_directories(dataDir, error);
    return bool(CnxAtomicFile::Write(target.string(), text.str()));
}
