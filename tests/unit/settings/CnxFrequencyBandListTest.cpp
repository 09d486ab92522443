#include "settings/CnxFrequencyBandList.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// A private folder per test, removed afterwards.
class CnxFrequencyBandListFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("k740-bands-" + std::to_string(random()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& content, const std::string& name = "Channels.csv") {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
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

    fs::path dir_;
};

}  // namespace

TEST(CnxFrequencyBandListConversion, RoundsThroughSinglePrecision) {
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("161.125"), 161124992);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("136.375"), 136375008);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("140"), 140000000);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz(" 150.0xyz"), 150000000);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("-1.5"), -1500000);
}

TEST(CnxFrequencyBandListConversion, ReadsADecimalPointWhateverTheLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "scripts/install-deps generates the de_DE.UTF-8 locale";
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << "a locale with a decimal comma";
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("136.375"), 136375008);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("161.125"), 161124992);
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(CnxFrequencyBandListConversion, NonNumbersGiveZeroAndHugeValuesSaturate) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz(""), 0);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("Low band"), 0);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("nan"), 0);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("1e300"), kMax);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("inf"), kMax);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("-1e300"), kMin);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("2147.483648"), kMax);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("5000"), kMax);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("-5000"), kMin);
    EXPECT_EQ(CnxFrequencyBandList::MegahertzToHertz("2000"), 2000000000);
}

TEST_F(CnxFrequencyBandListFile, BandsAreInclusiveAndTheFirstMatchWins) {
    const auto list = Load("140,150,Mid\n136.0,141.25,Low band\n100,200,Wide\n");
    ASSERT_EQ(list.GetCount(), 3u);
    const nxFrequencyBand& mid = list.GetBands()[0];
    EXPECT_EQ(mid.start, 140000000);
    EXPECT_EQ(mid.end, 150000000);
    EXPECT_EQ(NameAt(list, 140000000), "Mid");
    EXPECT_EQ(NameAt(list, 150000000), "Mid");
    EXPECT_EQ(NameAt(list, 141000000), "Mid");  // overlaps "Low band", which comes later
    EXPECT_EQ(NameAt(list, 139999999), "Low band");
    EXPECT_EQ(NameAt(list, 150000001), "Wide");
    EXPECT_EQ(NameAt(list, 99999999), "<none>");
    EXPECT_EQ(NameAt(list, 200000001), "<none>");
}

TEST_F(CnxFrequencyBandListFile, EdgesKeepTheirSinglePrecisionGranularity) {
    const auto list = Load("136.375,161.125,Low\n");
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.GetBands()[0].start, 136375008);
    EXPECT_EQ(list.GetBands()[0].end, 161124992);
    EXPECT_EQ(NameAt(list, 161124992), "Low");
    EXPECT_EQ(NameAt(list, 161125000), "<none>");  // channel 99 lies just outside
    EXPECT_EQ(NameAt(list, 136375000), "<none>");
}

TEST_F(CnxFrequencyBandListFile, QuotesToggleAndProtectCommas) {
    const auto list = Load("\"136\",\"141,5\",\"Low, wide\" band\n");
    ASSERT_EQ(list.GetCount(), 1u);
    const nxFrequencyBand& band = list.GetBands()[0];
    EXPECT_EQ(band.start, 136000000);
    EXPECT_EQ(band.end, 141000000);  // "141,5" reads as 141
    EXPECT_EQ(band.name, "Low, wide band");
}

TEST_F(CnxFrequencyBandListFile, LastLineWithoutLineFeedIsNotAdded) {
    auto list = Load("140,150,Mid\n150,160,High");
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.GetBands()[0].name, "Mid");
    EXPECT_EQ(Load("140,150,Mid").GetCount(), 0u);
    EXPECT_EQ(Load("").GetCount(), 0u);
}

TEST_F(CnxFrequencyBandListFile, ShortLinesShiftTheFieldsOfTheFollowingLines) {
    // "Oops" ends field 0 as a name; the next line then starts at field 1.
    const auto list = Load("Oops\n140,150,Mid\n136,137,Low\n");
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.GetBands()[0].name, "Oops");
    EXPECT_EQ(list.GetBands()[0].start, 0);
    const nxFrequencyBand& shifted = list.GetBands()[1];
    EXPECT_EQ(shifted.start, 0);        // "140" went into the end field ...
    EXPECT_EQ(shifted.end, 140000000);  // ... and "150," was the ignored third field
    EXPECT_EQ(shifted.name, "Mid");
    const nxFrequencyBand& stillShifted = list.GetBands()[2];
    EXPECT_EQ(stillShifted.start, 0);
    EXPECT_EQ(stillShifted.end, 136000000);
    EXPECT_EQ(stillShifted.name, "Low");
}

TEST_F(CnxFrequencyBandListFile, TextsAreCutAt199Characters) {
    const std::string longName(300, 'N');
    const std::string longNumber = "140" + std::string(250, '0');
    const auto list = Load("140,150," + longName + "\n" + longNumber + ",1e300,Far\n");
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetBands()[0].name, std::string(199, 'N'));
    EXPECT_EQ(list.GetBands()[1].start, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(list.GetBands()[1].end, std::numeric_limits<int32_t>::max());
}

TEST_F(CnxFrequencyBandListFile, LineEndsWithCarriageReturnsAndBinaryBytes) {
    const auto list = Load("140,150,Mid\r\n150,160,A\rB\n");
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetBands()[0].name, "Mid");
    EXPECT_EQ(list.GetBands()[1].name, "A\rB");

    std::string binary;
    for (int c = 0; c < 256; ++c) {
        binary.push_back(static_cast<char>(c));
    }
    const auto garbage = Load(binary + binary + "\n");
    EXPECT_EQ(garbage.GetCount(), 3u);  // one line feed per copy, plus the final one
    const std::string withNul = std::string("140,150,Na") + '\0' + "me\n";
    const auto nul = Load(withNul);
    ASSERT_EQ(nul.GetCount(), 1u);
    EXPECT_EQ(nul.GetBands()[0].name, "Na");
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

TEST_F(CnxFrequencyBandListFile, DefaultBandFileIsCopiedOnlyWhenTheUserHasNone) {
    const std::string shipped = Write("136,174,Shipped\n", "default.csv");
    const fs::path data = dir_ / "Quorvant" / "Data";
    ASSERT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    CnxFrequencyBandList list;
    ASSERT_TRUE(list.LoadFromFile((data / "Channels.csv").string()));
    EXPECT_EQ(NameAt(list, 150000000), "Shipped");

    std::ofstream(data / "Channels.csv", std::ios::binary) << "140,150,Mine\n";
    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    ASSERT_TRUE(list.LoadFromFile((data / "Channels.csv").string()));
    EXPECT_EQ(NameAt(list, 145000000), "Mine");
    EXPECT_EQ(NameAt(list, 160000000), "<none>");

    EXPECT_FALSE(
        EnsureDefaultBandFile((dir_ / "elsewhere").string(), (dir_ / "no-default.csv").string()));
}

TEST_F(CnxFrequencyBandListFile, AnEmptyBandFileCountsAsNoneAndIsReplaced) {
    const std::string shipped = Write("136,174,Shipped\n", "default.csv");
    const fs::path data = dir_ / "Data";
    fs::create_directories(data);
    std::ofstream(data / "Channels.csv", std::ios::binary).flush();  // left by a full disk
    ASSERT_EQ(fs::file_size(data / "Channels.csv"), 0u);

    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    CnxFrequencyBandList list;
    ASSERT_TRUE(list.LoadFromFile((data / "Channels.csv").string()));
    EXPECT_EQ(NameAt(list, 150000000), "Shipped");
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

TEST_F(CnxFrequencyBandListFile, ADefaultThatCannotBeWrittenWholeLeavesNoFileBehind) {
    std::string longList;
    for (int channel = 0; channel < 100; ++channel) {
        longList += "136,174,Band " + std::to_string(channel) + "\n";
    }
    const std::string shipped = Write(longList, "default.csv");
    const fs::path data = dir_ / "Data";
    fs::create_directories(data);
    {
        const FileSizeLimit limit(64);
        EXPECT_FALSE(EnsureDefaultBandFile(data.string(), shipped));
    }
    EXPECT_FALSE(fs::exists(data / "Channels.csv"));
    EXPECT_TRUE(fs::is_empty(data)) << "a temporary file was left";

    // With room again, the next start puts the whole list in place.
    EXPECT_TRUE(EnsureDefaultBandFile(data.string(), shipped));
    EXPECT_EQ(fs::file_size(data / "Channels.csv"), longList.size());
}
