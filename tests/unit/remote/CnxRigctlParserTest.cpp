#include "remote/CnxRigctlParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Args = std::vector<std::string>;

TEST(CnxRigctlParser, ShortAndLongFormsNameTheSameCommand) {
    const struct {
        const char* letter;
        const char* name;
        ERigctlCommand id;
    } pairs[] = {
        {"F 1", "\\set_freq 1", ERigctlCommand::kSetFreq},
        {"f", "\\get_freq", ERigctlCommand::kGetFreq},
        {"M FM 0", "\\set_mode FM 0", ERigctlCommand::kSetMode},
        {"m", "\\get_mode", ERigctlCommand::kGetMode},
        {"V VFOA", "\\set_vfo VFOA", ERigctlCommand::kSetVfo},
        {"v", "\\get_vfo", ERigctlCommand::kGetVfo},
        {"L ATT 18", "\\set_level ATT 18", ERigctlCommand::kSetLevel},
        {"l ATT", "\\get_level ATT", ERigctlCommand::kGetLevel},
        {"N 25000", "\\set_ts 25000", ERigctlCommand::kSetTuningStep},
        {"n", "\\get_ts", ERigctlCommand::kGetTuningStep},
        {"s", "\\get_split_vfo", ERigctlCommand::kGetSplitVfo},
        {"1", "\\dump_caps", ERigctlCommand::kDumpCaps},
        {"q", "\\quit", ERigctlCommand::kQuit},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.letter);
        const SnxRigctlCommand byLetter = CnxRigctlParser::Parse(pair.letter);
        const SnxRigctlCommand byName = CnxRigctlParser::Parse(pair.name);
        EXPECT_EQ(byLetter.id, pair.id);
        EXPECT_EQ(byName.id, pair.id);
        EXPECT_EQ(byLetter.name, byName.name);
        EXPECT_EQ(byLetter.args, byName.args);
        EXPECT_TRUE(byLetter.complete && byName.complete);
        EXPECT_FALSE(byLetter.IsExtended());
    }
    EXPECT_EQ(CnxRigctlParser::Parse("Q").id, ERigctlCommand::kQuit);
    EXPECT_EQ(CnxRigctlParser::Parse("\\dump_state").id, ERigctlCommand::kDumpState);
    EXPECT_EQ(CnxRigctlParser::Parse("\\chk_vfo").id, ERigctlCommand::kCheckVfo);
    EXPECT_EQ(CnxRigctlParser::Parse("\\get_powerstat").name, "get_powerstat");
    EXPECT_EQ(CnxRigctlParser::Parse("F 162250000.000000").args, Args{"162250000.000000"});
}

TEST(CnxRigctlParser, PunctuationInFrontAsksForTheExtendedAnswer) {
    EXPECT_EQ(CnxRigctlParser::Parse("+f").separator, '\n');
    EXPECT_EQ(CnxRigctlParser::Parse(";f").separator, ';');
    EXPECT_EQ(CnxRigctlParser::Parse("|\\get_freq").separator, '|');
    EXPECT_EQ(CnxRigctlParser::Parse(",f").separator, ',');
    const SnxRigctlCommand spaced = CnxRigctlParser::Parse("  + l   STRENGTH  \r");
    EXPECT_EQ(spaced.separator, '\n');
    EXPECT_EQ(spaced.id, ERigctlCommand::kGetLevel);
    EXPECT_EQ(spaced.args, Args{"STRENGTH"});

    // A backslash starts a long name, a question mark or underscore is a command of its own, and
    // a hash starts a comment.
    EXPECT_EQ(CnxRigctlParser::Parse("\\get_freq").separator, 0);
    EXPECT_EQ(CnxRigctlParser::Parse("?").id, ERigctlCommand::kUnknown);
    EXPECT_EQ(CnxRigctlParser::Parse("_").id, ERigctlCommand::kUnknown);
    EXPECT_EQ(CnxRigctlParser::Parse("# F 1").id, ERigctlCommand::kNone);
    EXPECT_EQ(CnxRigctlParser::Parse("+").id, ERigctlCommand::kNone);
    EXPECT_EQ(CnxRigctlParser::Parse(" \t\r").id, ERigctlCommand::kNone);
}

TEST(CnxRigctlParser, ArgumentsAreCountedAndQueriesNeedOnlyTheQuestion) {
    const SnxRigctlCommand missing = CnxRigctlParser::Parse("L ATT");
    EXPECT_EQ(missing.id, ERigctlCommand::kSetLevel);
    EXPECT_FALSE(missing.complete);
    EXPECT_EQ(missing.args, Args{"ATT"});
    EXPECT_FALSE(CnxRigctlParser::Parse("F").complete);
    EXPECT_FALSE(CnxRigctlParser::Parse("+\\set_mode FM").complete);

    const SnxRigctlCommand extra = CnxRigctlParser::Parse("F 1 2 3");
    EXPECT_TRUE(extra.complete);
    EXPECT_EQ(extra.args, Args{"1"});
    EXPECT_TRUE(CnxRigctlParser::Parse("f whatever").args.empty());

    const SnxRigctlCommand query = CnxRigctlParser::Parse("M ?");
    EXPECT_TRUE(query.complete);
    EXPECT_TRUE(query.IsQuery());
    EXPECT_FALSE(CnxRigctlParser::Parse("L ATT ?").IsQuery());
}

TEST(CnxRigctlParser, UnknownAndMalformedLinesAreToldApart) {
    for (const char* line : {"K", "fx", "\\GET_FREQ", "\\set_frequency 1", "\\", "FF 1"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(CnxRigctlParser::Parse(line).id, ERigctlCommand::kUnknown);
    }
    const SnxRigctlCommand unknown = CnxRigctlParser::Parse(";\\foo 1");
    EXPECT_EQ(unknown.name, "foo");
    EXPECT_EQ(unknown.separator, ';');

    using namespace std::string_literals;
    for (const std::string& line : {"f\0"s, "F 1\x01"s, "\x88"s, "l \xc3\xa4"s, "f\rf"s, "\x7f"s}) {
        SCOPED_TRACE(testing::PrintToString(line));
        EXPECT_EQ(CnxRigctlParser::Parse(line).id, ERigctlCommand::kMalformed);
    }
}
