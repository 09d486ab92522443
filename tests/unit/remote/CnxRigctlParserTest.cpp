#include "remote/CnxRigctlParser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using Args = std::vector<std::string>;

namespace {

// Every command the lines make, fed one after another to one parser.
std::vector<SnxRigctlCommand> Commands(std::initializer_list<std::string_view> lines) {
    CnxRigctlParser parser;
    std::vector<SnxRigctlCommand> commands;
    SnxRigctlCommand command;
    for (const std::string_view line : lines) {
        parser.Feed(line);
        while (parser.Next(command)) {
            commands.push_back(command);
        }
    }
    return commands;
}

SnxRigctlCommand Only(std::string_view line) {
    const std::vector<SnxRigctlCommand> commands = Commands({line});
    EXPECT_EQ(commands.size(), 1u) << line;
    return commands.empty() ? SnxRigctlCommand() : commands.front();
}

// The commands in short form: name and arguments, "+" in front of an extended one.
std::vector<std::string> Summary(std::initializer_list<std::string_view> lines) {
    std::vector<std::string> summary;
    for (const SnxRigctlCommand& command : Commands(lines)) {
        std::string text = command.IsExtended() ? "+" : "";
        text += command.name;
        for (const std::string& argument : command.args) {
            text += " " + argument;
        }
        summary.push_back(text);
    }
    return summary;
}

}  // namespace

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
        {"1", "\\dump_caps", ERigctlCommand::kDumpCaps},
        {"q", "\\quit", ERigctlCommand::kQuit},
        {"u FAGC", "\\get_func FAGC", ERigctlCommand::kUnsupported},
        {"K 1 FM 0", "\\set_split_freq_mode 1 FM 0", ERigctlCommand::kUnsupported},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.letter);
        const SnxRigctlCommand byLetter = Only(pair.letter);
        const SnxRigctlCommand byName = Only(pair.name);
        EXPECT_EQ(byLetter.id, pair.id);
        EXPECT_EQ(byName.id, pair.id);
        EXPECT_EQ(byLetter.name, byName.name);
        EXPECT_EQ(byLetter.args, byName.args);
        EXPECT_EQ(byLetter.reading, byName.reading);
    }
    EXPECT_EQ(Only("Q").id, ERigctlCommand::kQuit);
    EXPECT_EQ(Only("\\dump_state").id, ERigctlCommand::kDumpState);
    EXPECT_EQ(Only("\\chk_vfo").id, ERigctlCommand::kCheckVfo);
    EXPECT_EQ(Only("_").name, "get_info");
    EXPECT_EQ(Only("F 162250000.000000").args, Args{"162250000.000000"});
    // Readings answer with their values alone; changes and descriptions end with a result.
    EXPECT_TRUE(Only("f").reading && Only("l ATT").reading && Only("\\dump_state").reading);
    EXPECT_FALSE(Only("F 1").reading || Only("L ATT 1").reading || Only("1").reading);
}

TEST(CnxRigctlParser, EveryCommandOfALineRunsEachInItsOwnStyle) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(Summary({"f m"}), (Lines{"get_freq", "get_mode"}));
    EXPECT_EQ(Summary({"fm"}), (Lines{"get_freq", "get_mode"}));
    EXPECT_EQ(Summary({"+f m"}), (Lines{"+get_freq", "get_mode"}));
    EXPECT_EQ(Summary({"f ;m"}), (Lines{"get_freq", "+get_mode"}));
    EXPECT_EQ(Summary({"u FAGC f"}), (Lines{"get_func FAGC", "get_freq"}));
    EXPECT_EQ(Summary({"\\get_freq \\get_mode"}), (Lines{"get_freq", "get_mode"}));
    EXPECT_EQ(Summary({"f # m"}), (Lines{"get_freq"}));
    EXPECT_EQ(Summary({"  l   STRENGTH  f \r"}), (Lines{"get_level STRENGTH", "get_freq"}));
    EXPECT_EQ(Summary({"q f"}).front(), "quit");

    EXPECT_EQ(Only("+f").separator, '\n');
    EXPECT_EQ(Only(";f").separator, ';');
    EXPECT_EQ(Only("|\\get_freq").separator, '|');
    EXPECT_EQ(Only("+;f").separator, ';');
    // A style sign waits for its command, across blanks and lines.
    EXPECT_EQ(Summary({"+", "f"}), (Lines{"+get_freq"}));
    EXPECT_EQ(Summary({"?", "f"}), (Lines{"+get_freq"}));
    EXPECT_TRUE(Commands({"", " \t\r", "# F 1", "+"}).empty());
}

TEST(CnxRigctlParser, MissingArgumentsComeFromTheLinesThatFollow) {
    CnxRigctlParser parser;
    SnxRigctlCommand command;
    parser.Feed("F");
    EXPECT_FALSE(parser.Next(command));
    EXPECT_TRUE(parser.IsWaitingForArguments());
    parser.Feed("");
    parser.Feed("150000000");
    ASSERT_TRUE(parser.Next(command));
    EXPECT_EQ(command.args, Args{"150000000"});
    EXPECT_FALSE(parser.IsWaitingForArguments());

    using Lines = std::vector<std::string>;
    EXPECT_EQ(Summary({"L ATT", "18"}), (Lines{"set_level ATT 18"}));
    EXPECT_EQ(Summary({"+K", "1", "FM 0 f"}), (Lines{"+set_split_freq_mode 1 FM 0", "get_freq"}));
    // A question needs nothing more; the next word is a command again.
    EXPECT_EQ(Summary({"M ? f"}), (Lines{"set_mode ?", "get_freq"}));
    // A message takes the rest of its line, or the next line when nothing follows on its own.
    EXPECT_EQ(Summary({"b cq cq f"}), (Lines{"send_morse cq cq f"}));
    EXPECT_EQ(Summary({"b", "cq cq"}), (Lines{"send_morse cq cq"}));

    // Abandoning drops what waits, the style sign too.
    parser.Feed("+L ATT");
    EXPECT_FALSE(parser.Next(command));
    parser.Abandon();
    EXPECT_FALSE(parser.IsWaitingForArguments());
    parser.Feed("f");
    ASSERT_TRUE(parser.Next(command));
    EXPECT_EQ(command.id, ERigctlCommand::kGetFreq);
    EXPECT_FALSE(command.IsExtended());
}

TEST(CnxRigctlParser, UnknownWordsAndMalformedLinesAreToldApart) {
    for (const char* line : {"\\GET_FREQ", "\\set_frequency", "\\", "5", "("}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Only(line).id, ERigctlCommand::kUnknown);
    }
    const std::vector<SnxRigctlCommand> afterUnknown = Commands({"+\\foo f"});
    ASSERT_EQ(afterUnknown.size(), 2u);
    EXPECT_EQ(afterUnknown[0].name, "foo");
    EXPECT_EQ(afterUnknown[1].id, ERigctlCommand::kGetFreq);
    EXPECT_EQ(afterUnknown[1].separator, '\n') << "the style goes to the next command, as rigctld";

    using namespace std::string_literals;
    for (const std::string& line : {"f\0"s, "F 1\x01"s, "\x88"s, "l \xc3\xa4"s, "\x7f"s}) {
        SCOPED_TRACE(testing::PrintToString(line));
        const std::vector<SnxRigctlCommand> commands = Commands({line});
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands.front().id, ERigctlCommand::kMalformed);
    }
    // Bytes that are not text never become the argument a command waits for.
    const std::vector<SnxRigctlCommand> dropped = Commands({"F", "\x88", "f"});
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_EQ(dropped[0].id, ERigctlCommand::kMalformed);
    EXPECT_EQ(dropped[1].id, ERigctlCommand::kGetFreq);
}
