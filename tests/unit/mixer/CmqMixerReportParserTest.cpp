#include "mixer/CmqMixerReportParser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Reports = std::vector<std::string>;

// Reports as text, so a whole sequence compares in one assertion.
std::string Describe(const SmqMixerReport& report) {
    switch (report.kind) {
        case SmqMixerReport::Kind::Buttons:
            return "buttons " + std::to_string(report.buttons) + " mode " +
                   std::to_string(report.mode);
        case SmqMixerReport::Kind::Position:
            return "position " + std::to_string(report.position);
        case SmqMixerReport::Kind::Noise:
            return std::string("noise ") + report.character;
    }
    return "?";
}

std::vector<std::string> Drain(CmqMixerReportParser& parser) {
    std::vector<std::string> reports;
    SmqMixerReport report;
    while (parser.Next(report)) {
        reports.push_back(Describe(report));
    }
    return reports;
}

std::vector<std::string> ParseInPieces(const std::vector<std::string>& pieces) {
    CmqMixerReportParser parser;
    std::vector<std::string> reports;
    for (const std::string& piece : pieces) {
        parser.Append(piece);
        for (std::string& report : Drain(parser)) {
            reports.push_back(std::move(report));
        }
    }
    return reports;
}

TEST(CmqMixerReportParser, ReadsButtonAndPositionReports) {
    const std::pair<const char*, Reports> cases[] = {
        {"%24\r\n$1A2B\r\n", {"buttons 2 mode 4", "position 6699"}},
        // The four digits are a signed 16-bit counter, most significant first, in either case.
        {"$FFFF\r\n$8000\r\n$7fff\r\n$00ff\r\n",
         {"position -1", "position -32768", "position 32767", "position 255"}},
        // The last two characters of a report are consumed unseen: never noise nor a report.
        {"%11%$$0010$%%22zz", {"buttons 1 mode 1", "position 16", "buttons 2 mode 2"}},
        // Digits that are no hex digits count as zero.
        {"%x6\r\n%4G\r\n$G0Z1\r\n", {"buttons 0 mode 6", "buttons 4 mode 0", "position 1"}},
    };
    for (const auto& [text, reports] : cases) {
        EXPECT_EQ(ParseInPieces({text}), reports) << text;
    }
}

TEST(CmqMixerReportParser, ReportsSplitOverReadsComeOutOnceCompleteAndClearForgetsThem) {
    CmqMixerReportParser parser;
    parser.Append("%2");
    EXPECT_TRUE(Drain(parser).empty());
    parser.Append("2\r");
    EXPECT_TRUE(Drain(parser).empty()) << "four characters of five are not a report yet";
    parser.Append("\n$00");
    EXPECT_EQ(Drain(parser), Reports{"buttons 2 mode 2"});
    EXPECT_EQ(parser.PendingBytes(), 3u);
    parser.Append("08\r");
    EXPECT_TRUE(Drain(parser).empty()) << "six characters of seven are not a report yet";
    parser.Append("\n");
    EXPECT_EQ(Drain(parser), Reports{"position 8"});
    parser.Append("$12");
    parser.Clear();
    parser.Append("%11\r\n");
    EXPECT_EQ(Drain(parser), Reports{"buttons 1 mode 1"});

    // Byte by byte gives the same as all at once.
    const std::string stream = "\r\n$FFF0\r\n%44\r\n#^$0003\r\n~%06\r\n";
    std::vector<std::string> oneByOne;
    for (const char c : stream) {
        oneByOne.push_back(std::string(1, c));
    }
    EXPECT_EQ(ParseInPieces(oneByOne), (Reports{"position -16", "buttons 4 mode 4", "position 3",
                                                "noise ~", "buttons 0 mode 6"}));
}

TEST(CmqMixerReportParser, FillersAreDroppedOtherCharactersAreNoiseAndNeitherHoldsTheParserUp) {
    EXPECT_TRUE(ParseInPieces({"#^\r\n0123456789ABCDEFabcdef"}).empty());
    EXPECT_EQ(ParseInPieces({"Quorvant\x01"}),
              (Reports{"noise Q", "noise u", "noise o", "noise r", "noise v", "noise n", "noise t",
                       std::string("noise \x01")}));

    // A long run without any report start drains completely; a report after it still parses.
    CmqMixerReportParser parser;
    parser.Append(std::string(100000, 'z'));
    EXPECT_EQ(Drain(parser).size(), 100000u);
    EXPECT_EQ(parser.PendingBytes(), 0u);
    // An endless stream of report starts is consumed report by report, never piling up.
    for (int i = 0; i < 1000; ++i) {
        parser.Append("%%%%%$$$$$$$");
        Drain(parser);
        EXPECT_LT(parser.PendingBytes(), CmqMixerReportParser::kPositionLength);
    }
}

}  // namespace
