#include "receiver/CnxK740RXTraceLog.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string LastLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::string last;
    while (std::getline(file, line)) {
        if (!line.empty()) {
            last = line;
        }
    }
    return last;
}

// A long scan with the log option on: the trace keeps its newest lines within its size limit.
TEST(CnxK740RXTraceLog, AFullTraceMakesRoomAndKeepsTheNewestLines) {
    namespace fs = std::filesystem;
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    const std::string path = dir + "/" + CnxK740RXTraceLog::FileName("usb", 3);
    constexpr std::uintmax_t kLimit = 4096;
    constexpr int kLines = 200;  // about five limits' worth
    std::uintmax_t largest = 0;
    for (int i = 1; i <= kLines; ++i) {
        CnxK740RXTraceLog::Write(dir, "usb", 3, 136000000 + i, -700, 12, 0, 0, kLimit);
        largest = std::max(largest, fs::file_size(path));
    }
    ASSERT_TRUE(fs::exists(path + ".old"));
    // One line over the limit at most, before the next line moves the file aside.
    EXPECT_LT(largest, kLimit + 200);
    EXPECT_LT(fs::file_size(path + ".old"), kLimit + 200);
    EXPECT_GE(fs::file_size(path + ".old"), kLimit);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    EXPECT_NE(LastLine(path).find("Freq: [136000200]"), std::string::npos) << LastLine(path);
    // The older file ends where the current one begins.
    std::ifstream current(path);
    std::string first;
    std::getline(current, first);
    const auto frequencyOf = [](const std::string& line) {
        return std::stol(line.substr(line.find("Freq: [") + 7));
    };
    EXPECT_EQ(frequencyOf(LastLine(path + ".old")) + 1, frequencyOf(first));
}

}  // namespace
