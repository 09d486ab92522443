#include "settings/CnxFrequencyBandList.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

// Band files in a private folder, removed afterwards.
class CnxFrequencyBandListFile : public ::testing::Test {
protected:
    std::string Write(const std::string& content, const std::string& name = "Channels.csv") {
        const std::string path = (dir_ / name).string();
        TemporaryHome::WriteText(path, content);
        return path;
    }

    CnxFrequencyBandList Load(const std::string& content) {
        CnxFrequencyBandList list;
        EXPECT_TRUE(list.LoadFromFile(Write(content)));
        return list;
    }

    static std::string NameAt(const CnxFrequencyBandList& list, int64_t f) {
        const nxFrequencyBand* band = list.Find(f);
        return band ? band->name : "<none>";
    }

    TemporaryHome home_;
    fs::path dir_ = home_.Path();
};

}  // namespace

// Through single precision, saturating, zero for non-numbers, with a decimal point whatever the
// locale says.
TEST(CnxFrequencyBandListConversion, MegahertzToHertz) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const std::pair<const char*, int32_t> cases[] = {
        {"161.125", 161124992}, {"136.375", 136375008},
        {"140", 140000000},     {" 150.0xyz", 150000000},
        {"-1.5", -1500000},     {"", 0},
        {"Low band", 0},        {"nan", 0},
        {"1e300", kMax},        {"inf", kMax},
        {"-1e300", kMin},       {"2147.483648", kMax},
        {"5000", kMax},         {"-5000", kMin},
        {"2000", 2000000000}};
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr)
            << "scripts/install-deps generates the de_DE.UTF-8 locale";
        for (const auto& [text, hertz] : cases) {
            EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz(text), hertz) << text;
        }
    }
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << "a locale with a decimal comma";
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST_F(CnxFrequencyBandListFile, BandsAreInclusiveAndTheFirstMatchWins) {
    const auto list = Load("140,150,Mid\n136.0,141.25,Low band\n100,200,Wide\n");
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(NameAt(list, 140000000), "Mid");
    EXPECT_EQ(NameAt(list, 141000000), "Mid");  // overlaps "Low band", which comes later
    EXPECT_EQ(NameAt(list, 139999999), "Low band");
    EXPECT_EQ(NameAt(list, 150000001), "Wide");
    EXPECT_EQ(NameAt(list, 99999999), "<none>");
    EXPECT_EQ(NameAt(list, 200000001), "<none>");
}

TEST_F(CnxFrequencyBandListFile, LinesAreReadFieldByField) {
    const std::string kMax = std::to_string(std::numeric_limits<int32_t>::max());
    const std::pair<std::string, std::string> files[] = {
        // Edges keep their single-precision granularity: channel 99 lies just outside.
        {"136.375,161.125,Low\n", "136375008-161124992 Low"},
        // Quotes toggle and protect commas; "141,5" reads as 141.
        {"\"136\",\"141,5\",\"Low, wide\" band\n", "136000000-141000000 Low, wide band"},
        // A last line without line feed is not added.
        {"140,150,Mid\n150,160,High", "140000000-150000000 Mid"},
        {"140,150,Mid", ""},
        {"", ""},
        // "Oops" ends field 0 as a name; the next line then starts at field 1, so "140" goes into
        // the end field and "150," is the ignored third field.
        {"Oops\n140,150,Mid\n136,137,Low\n", "0-0 Oops|0-140000000 Mid|0-136000000 Low"},
        // Texts are cut at 199 characters.
        {"140,150," + std::string(300, 'N') + "\n140" + std::string(250, '0') + ",1e300,Far\n",
         "140000000-150000000 " + std::string(199, 'N') + "|" + kMax + "-" + kMax + " Far"},
        {"140,150,Mid\r\n150,160,A\rB\n", "140000000-150000000 Mid|150000000-160000000 A\rB"},
        {std::string("140,150,Na") + '\0' + "me\n", "140000000-150000000 Na"}};
    for (const auto& [file, bands] : files) {
        SCOPED_TRACE(file.substr(0, 40));
        const CnxFrequencyBandList list = Load(file);
        std::string read;
        for (const nxFrequencyBand& band : list.GetBands()) {
            read += (read.empty() ? "" : "|") + std::to_string(band.start) + "-" +
                    std::to_string(band.end) + " " + band.name;
        }
        EXPECT_EQ(read, bands);
    }

    std::string binary;
    for (int c = 0; c < 256; ++c) {
        binary.push_back(static_cast<char>(c));
    }
    // One line feed per copy, plus the final one.
    EXPECT_EQ(Load(binary + binary + "\n").GetCount(), 3u);
}

TEST_F(CnxFrequencyBandListFile, MissingFileKeepsTheCurrentRecordsAndReloadReplacesThem) {
    CnxFrequencyBandList list;
    ASSERT_TRUE(list.LoadFromFile(Write("140,150,Mid\n")));
    EXPECT_FALSE(list.LoadFromFile((dir_ / "absent.csv").string()));
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(NameAt(list, 145000000), "Mid");

    ASSERT_TRUE(list.LoadFromFile(Write("160,170,High\n", "other.csv")));
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(NameAt(list, 145000000), "<none>");
    EXPECT_EQ(NameAt(list, 165000000), "High");
}

// A file-size limit makes writing fail part-way, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(CnxFrequencyBandListFile, TheDefaultBandFileIsCopiedWholeOnlyWhenTheUserHasNone) {
    std::string longList;
    for (int channel = 0; channel < 100; ++channel) {
        longList += "136,174,Band " + std::to_string(channel) + "\n";
    }
    const std::string shipped = Write(longList, "default.csv");
    const fs::path data = dir_ / "Quorvant" / "Data";
    const std::string channels = (data / "Channels.csv").string();
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(EnsureDefaultBandFile(data.string(), shipped));
    }
    EXPECT_TRUE(fs::is_empty(data)) << "a part-written or temporary file was left";

    // With room again, the next start puts the whole list in place.
    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    CnxFrequencyBandList list;
    ASSERT_TRUE(list.LoadFromFile(channels));
    EXPECT_EQ(list.GetCount(), 100u);

    TemporaryHome::WriteText(channels, "140,150,Mine\n");
    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    ASSERT_TRUE(list.LoadFromFile(channels));
    EXPECT_EQ(NameAt(list, 145000000), "Mine");

    TemporaryHome::WriteText(channels, "");  // left by a full disk: counts as none
    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    ASSERT_TRUE(list.LoadFromFile(channels));
    EXPECT_EQ(NameAt(list, 150000000), "Band 0");

    EXPECT_FALSE(
        EnsureDefaultBandFile((dir_ / "elsewhere").string(), (dir_ / "no-default.csv").string()));
}
