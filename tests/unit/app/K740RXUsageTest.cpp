#include "app/K740RXUsage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

K740RXInfoRequest RequestOf(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "k740rx");
    return FindInfoRequest(int(arguments.size()), arguments.data());
}

}  // namespace

// Only the exact GNU spellings ask; the program's own option forms and look-alikes start it.
TEST(K740RXUsage, OnlyExactHelpAndVersionArgumentsAskAndTheFirstOneWins) {
    using enum K740RXInfoRequest;
    const struct {
        std::vector<const char*> arguments;
        K740RXInfoRequest request;
    } cases[] = {
        {{}, kNone},
        {{"-nsplash", "/itime:100", "-settle1=5"}, kNone},
        {{"-help", "/help", "-version", "/VERSION", "-h", "/?"}, kNone},
        {{"--helpme", "--Help", "-itime=--help", "--version=1"}, kNone},
        {{"--help"}, kHelp},
        {{"-nsplash", "--help", "-log"}, kHelp},
        {{"--version"}, kVersion},
        {{"/itime:100", "--version", "--help"}, kVersion},
        {{"--help", "--version"}, kHelp},
    };
    for (const auto& [arguments, request] : cases) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : arguments.front());
        EXPECT_EQ(RequestOf(arguments), request);
    }
}
