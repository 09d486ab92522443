#include "settings/CnxFileIni.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <limits>

#include "TemporaryHome.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// The INI file "test.ini" in a fresh folder.
class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() { ini_.SetFolder(home_.Path()); }

    std::string Path() const { return home_.Path() + "/test.ini"; }
    void Put(const std::string& text) const { TemporaryHome::WriteText(Path(), text); }
    std::string OnDisk() const { return TemporaryHome::ReadText(Path()); }
    // The folder holds the file alone: no temporary file is left.
    int FolderEntries() const { return std::distance(fs::directory_iterator(home_.Path()), {}); }

    TemporaryHome home_;
    CnxFileIni ini_{"test"};
};

}  // namespace

TEST_F(IniFileTest, IntegersTakeTheLeadingNumberOrZeroAndSaturate) {
    Put("[N]\nplain=42\nsigned=-17\nplus=+5\ntail=12abc\nword=abc\nempty=\n"
        "huge=99999999999\nhugeNegative=-99999999999\nmax=2147483647\nmin=-2147483648\n"
        "spaced =  7 \n");

    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const std::pair<const char*, int32_t> values[] = {
        {"missing", 9},         {"plain", 42}, {"signed", -17}, {"plus", 5},
        {"tail", 12},           {"word", 0},   {"empty", 0},    {"huge", kMax},
        {"hugeNegative", kMin}, {"max", kMax}, {"min", kMin}};
    for (const auto& [key, value] : values) {
        EXPECT_EQ(ini_.ReadInt("N", key, 9), value) << key;
    }
    EXPECT_EQ(ini_.ReadInt("Missing", "plain", -1), -1);
    EXPECT_EQ(ini_.ReadInt("n", "SPACED", 0), 7);
}

TEST_F(IniFileTest, StringsAreCappedAndEndAtNul) {
    Put("[S]\nlong=" + std::string(1000, 'x') + "\nnul=ab \0cd\nname=  DEMO  \ncut="s +
        std::string(258, 'y') + " z\n"s);

    EXPECT_EQ(ini_.ReadString("S", "long"), std::string(259, 'x'));
    EXPECT_EQ(ini_.ReadString("S", "long", 3), "xxx");
    EXPECT_EQ(ini_.ReadString("S", "nul"), "ab");
    EXPECT_EQ(ini_.ReadString("S", "name"), "DEMO");
    EXPECT_EQ(ini_.ReadString("S", "cut"), std::string(258, 'y'));
}

TEST_F(IniFileTest, WritesReachTheDiskOnFlushInOneStep) {
    Put("; kept\n[S]\nold=1\n");
    const fs::perms rights = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(Path(), rights);

    EXPECT_TRUE(ini_.WriteInt("S", "old", -5));
    EXPECT_TRUE(ini_.WriteString("T", "text", "one line\nsecond line"));
    EXPECT_EQ(ini_.ReadInt("S", "old", 0), -5);
    EXPECT_EQ(OnDisk(), "; kept\n[S]\nold=1\n");

    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(OnDisk(), "; kept\n[S]\nold=-5\n[T]\ntext=one line\n");
    EXPECT_EQ(fs::status(Path()).permissions(), rights);
    EXPECT_EQ(FolderEntries(), 1);
}

TEST_F(IniFileTest, FileIsReadOnceAndWrittenAtTheEnd) {
    Put("[S]\nk=1\n");
    EXPECT_EQ(ini_.ReadInt("S", "k", 0), 1);
    Put("[S]\nk=2\n");
    EXPECT_EQ(ini_.ReadInt("S", "k", 0), 1);

    {
        CnxFileIni other("other");
        other.SetFolder(home_.Path());
        other.WriteInt("S", "k", 3);
    }
    EXPECT_EQ(TemporaryHome::ReadText(home_.Path() + "/other.ini"), "[S]\nk=3\n");
}

TEST_F(IniFileTest, SpaceAndLineFeedOperations) {
    EXPECT_TRUE(ini_.AppendLineFeed());
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(OnDisk(), "\n");

    EXPECT_TRUE(ini_.CreateWithSpace());
    EXPECT_EQ(OnDisk(), " ");
    ini_.WriteInt("S", "k", 1);
    ini_.AppendLineFeed();
    ini_.AppendLineFeed();
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(OnDisk(), " \n[S]\nk=1\n\n");
}

TEST_F(IniFileTest, UnreadableFileIsNeitherReadNorOverwritten) {
    fs::create_directory(Path());

    EXPECT_EQ(ini_.ReadInt("S", "k", 4), 4);
    EXPECT_FALSE(ini_.WriteInt("S", "k", 1));
    EXPECT_FALSE(ini_.AppendLineFeed());
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(ini_.GetLastError(), "ReadFile: Is a directory");
    EXPECT_TRUE(fs::is_directory(Path()));
}

TEST_F(IniFileTest, FailedWriteReportsWhyAndKeepsTheChangesForLater) {
    const std::string folder = home_.Path() + "/later";
    ini_.SetFolder(folder);

    EXPECT_TRUE(ini_.WriteInt("S", "k", 2));
    EXPECT_FALSE(ini_.Flush());
    EXPECT_EQ(ini_.GetLastError(), "CreateFile: No such file or directory");

    fs::create_directory(folder);
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(TemporaryHome::ReadText(folder + "/test.ini"), "[S]\nk=2\n");
}

TEST_F(IniFileTest, MemoryFileIsReadAndWrittenInsteadOfTheDisk) {
    Put("[S]\nk=on disk\n");
    std::string file = "; mine\n[S]\nk=in memory\n";
    ini_.UseMemoryFile(file);
    EXPECT_TRUE(ini_.Exists());
    EXPECT_EQ(ini_.ReadString("S", "k"), "in memory");

    ini_.WriteInt("S", "n", 7);
    EXPECT_EQ(file, "; mine\n[S]\nk=in memory\n");  // written on flush, as a file would be
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(file, "; mine\n[S]\nk=in memory\nn=7\n");
    EXPECT_TRUE(ini_.CreateWithSpace());
    EXPECT_EQ(file, " ");
    EXPECT_EQ(OnDisk(), "[S]\nk=on disk\n");

    // Back to the file: what was not flushed yet still goes to the memory file first.
    ini_.WriteInt("S", "last", 1);
    ini_.SetFolder(home_.Path());
    EXPECT_EQ(file, " \n[S]\nlast=1\n");
    EXPECT_EQ(ini_.ReadString("S", "k"), "on disk");
}

TEST_F(IniFileTest, AReadOnlyFileIsNeverReplaced) {
    Put("[S]\nk=1\n");
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::group_read);

    EXPECT_EQ(ini_.ReadInt("S", "k", 0), 1);
    EXPECT_TRUE(ini_.WriteInt("S", "k", 2));
    EXPECT_FALSE(ini_.Flush());
    EXPECT_EQ(ini_.GetLastError(), "WriteFile: Permission denied");
    EXPECT_EQ(OnDisk(), "[S]\nk=1\n");
    EXPECT_EQ(fs::status(Path()).permissions(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(FolderEntries(), 1);

    // Once the user allows it again, the change that waited is written.
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(OnDisk(), "[S]\nk=2\n");
}

TEST_F(IniFileTest, WritingWhatTheFileHoldsLeavesTheFileAlone) {
    Put("[S]\nk=1\n");
    const auto inode = [&] {
        struct stat info {};
        ::stat(Path().c_str(), &info);
        return info.st_ino;
    };
    const auto before = inode();
    EXPECT_TRUE(ini_.WriteInt("S", "k", 1));
    EXPECT_TRUE(ini_.Flush());
    EXPECT_EQ(inode(), before) << "rewritten although nothing changed";
}
