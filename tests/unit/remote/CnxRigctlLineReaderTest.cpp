#include "remote/CnxRigctlLineReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Event = CnxRigctlLineReader::Event;

// Every event the reader gives for what it holds, lines as their text, overlong ones as "!".
std::vector<std::string> Drain(CnxRigctlLineReader& reader) {
    std::vector<std::string> events;
    std::string line;
    for (Event event; (event = reader.Next(line)) != Event::kNothing;) {
        events.push_back(event == Event::kLine ? line : "!");
    }
    return events;
}

}  // namespace

TEST(CnxRigctlLineReader, LinesComeWholeHoweverTheBytesArrive) {
    const std::string stream = "f\n+\\get_freq\r\nF 162250000\n\nl STRENGTH\n";
    const std::vector<std::string> expected = {"f", "+\\get_freq\r", "F 162250000", "",
                                               "l STRENGTH"};
    for (std::size_t chunk : {1u, 2u, 3u, 7u, 100u}) {
        SCOPED_TRACE(chunk);
        CnxRigctlLineReader reader;
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            reader.Append(stream.substr(at, chunk));
            std::ranges::copy(Drain(reader), std::back_inserter(lines));
        }
        EXPECT_EQ(lines, expected);
        EXPECT_FALSE(reader.HasUnfinishedLine());
    }
}

TEST(CnxRigctlLineReader, AnUnfinishedLineIsOwed) {
    CnxRigctlLineReader reader;
    reader.Append("f\nF 1622");
    EXPECT_TRUE(reader.HasUnfinishedLine()) << "the second line has begun";
    EXPECT_EQ(Drain(reader), std::vector<std::string>{"f"});
    EXPECT_TRUE(reader.HasUnfinishedLine());
    reader.Append("50000\n");
    EXPECT_FALSE(reader.HasUnfinishedLine());
    EXPECT_EQ(Drain(reader), std::vector<std::string>{"F 162250000"});
}

TEST(CnxRigctlLineReader, OverlongLinesAreReportedOnceAndSkipped) {
    const std::size_t limit = CnxRigctlLineReader::kMaxLineLength;
    CnxRigctlLineReader reader;
    reader.Append(std::string(limit, 'x') + "\n" + std::string(limit, 'y') + "\r\n");
    EXPECT_EQ(Drain(reader),
              (std::vector<std::string>{std::string(limit, 'x'), std::string(limit, 'y') + "\r"}))
        << "the limit itself is allowed, a CR does not count";

    reader.Append(std::string(limit + 1, 'z') + "\nf\n");
    EXPECT_EQ(Drain(reader), (std::vector<std::string>{"!", "f"}));

    // A line that never ends is reported once it passes the limit, then swallowed up to its end.
    for (int i = 0; i < 100; ++i) {
        reader.Append(std::string(700, 'a'));
        const std::vector<std::string> events = Drain(reader);
        EXPECT_EQ(events, i == 1 ? std::vector<std::string>{"!"} : std::vector<std::string>{}) << i;
        EXPECT_TRUE(reader.HasUnfinishedLine());
    }
    reader.Append("aaa\nv\n");
    EXPECT_EQ(Drain(reader), std::vector<std::string>{"v"});
    EXPECT_FALSE(reader.HasUnfinishedLine());
}
