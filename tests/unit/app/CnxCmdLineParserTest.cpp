#include "app/CnxCmdLineParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The option's value, "<absent>" when it did not occur.
std::string ValueOf(const CnxCmdLineParser& parser, const std::string& name) {
    std::string value = "<stale>";
    return parser.GetValue(name, value) ? value : "<absent>";
}

}  // namespace

TEST(CnxCmdLineParser, NoOptionsAnswerFalseEverywhere) {
    for (const char* text : {static_cast<const char*>(nullptr), "", "   ", "plain words", "-", "/",
                             "- -=x /: /=\"a b\""}) {
        const CnxCmdLineParser parser(text);
        SCOPED_TRACE(text ? text : "null");
        EXPECT_FALSE(parser.HasKey(""));
        EXPECT_FALSE(parser.HasKey("x"));
        EXPECT_FALSE(parser.HasValue("x"));
        EXPECT_EQ(ValueOf(parser, ""), "<absent>");
    }
}

TEST(CnxCmdLineParser, ReadsDashAndSlashOptionsWithColonOrEqualsValuesAnewOnEachParse) {
    CnxCmdLineParser parser("-nsplash /LOG -itime=2500 /settle2:7");
    EXPECT_TRUE(parser.HasKey("nsplash"));
    EXPECT_FALSE(parser.HasValue("nsplash"));
    EXPECT_EQ(ValueOf(parser, "nsplash"), "");
    EXPECT_TRUE(parser.HasKey("log"));
    EXPECT_EQ(ValueOf(parser, "itime"), "2500");
    EXPECT_TRUE(parser.HasValue("itime"));
    EXPECT_EQ(ValueOf(parser, "settle2"), "7");
    EXPECT_FALSE(parser.HasKey("settle1"));

    // Parse replaces everything before.
    parser.Parse("-new=2");
    EXPECT_FALSE(parser.HasKey("nsplash"));
    EXPECT_EQ(ValueOf(parser, "new"), "2");
    parser.Parse("");
    EXPECT_FALSE(parser.HasKey("new"));
}

TEST(CnxCmdLineParser, ValueAttachmentRules) {
    const CnxCmdLineParser spaced("-itime 3000");
    EXPECT_EQ(ValueOf(spaced, "itime"), "");
    EXPECT_FALSE(spaced.HasKey("3000"));

    EXPECT_EQ(ValueOf(CnxCmdLineParser("-x=1 -x=2"), "x"), "1");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("a/b"), "b"), "");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("--long"), "-long"), "");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-name="), "name"), "");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-name:"), "name"), "");

    const CnxCmdLineParser emptyValue("-name= -x");
    EXPECT_TRUE(emptyValue.HasKey("name"));
    EXPECT_FALSE(emptyValue.HasValue("name"));
    EXPECT_TRUE(emptyValue.HasKey("x"));

    // A value ends at the next space, so a dash inside it starts nothing.
    const CnxCmdLineParser dashInValue("-range=1-5 -y=a/b");
    EXPECT_EQ(ValueOf(dashInValue, "range"), "1-5");
    EXPECT_EQ(ValueOf(dashInValue, "y"), "a/b");
    EXPECT_FALSE(dashInValue.HasKey("5"));
    EXPECT_FALSE(dashInValue.HasKey("b"));
}

TEST(CnxCmdLineParser, QuotedValues) {
    const CnxCmdLineParser closed("-path=\"C:\\My Files\\a.txt\" -y");
    EXPECT_EQ(ValueOf(closed, "path"), "C:\\My Files\\a.txt");
    EXPECT_TRUE(closed.HasKey("y"));

    EXPECT_EQ(ValueOf(CnxCmdLineParser("-path=\"C:\\My Files -y"), "path"), "C:\\My Files -y");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-q=\""), "q"), "");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-q=\"\" -z"), "q"), "");
}

TEST(CnxCmdLineParser, HashIsAnOptionNameFollowedByItsValue) {
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-#5"), "#"), "5");
    EXPECT_EQ(ValueOf(CnxCmdLineParser("-a#b -c"), "a#"), "b");
    // Only the first '#' gets the separator.
    const CnxCmdLineParser twice("-#1 -#2");
    EXPECT_EQ(ValueOf(twice, "#"), "1");
    EXPECT_EQ(ValueOf(twice, "#2"), "");
}

TEST(CnxCmdLineParser, NamesFoldToLowerCaseUnlessCaseSensitive) {
    const CnxCmdLineParser folded("-ABC=MixedCase -\xC9X");
    EXPECT_TRUE(folded.HasKey("abc"));
    EXPECT_TRUE(folded.HasKey("AbC"));
    EXPECT_EQ(ValueOf(folded, "abc"), "MixedCase");
    EXPECT_TRUE(folded.HasKey("\xC9x"));  // only A-Z fold

    const CnxCmdLineParser exact("-ABC=1", true);
    EXPECT_TRUE(exact.HasKey("ABC"));
    EXPECT_FALSE(exact.HasKey("abc"));
}
