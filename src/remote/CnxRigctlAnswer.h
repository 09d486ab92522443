#pragma once
// The text that answers one command, in the style the command asked for.
//
// Default protocol: a reading answers with its values, one per line; any other command with what
// it has to say (the list a query asks for) and then "RPRT n"; a failure with "RPRT n" alone.
// Extended protocol: the command echoed with its long name and arguments, then one record per value
// ("Frequency: 162250000"), then "RPRT n"; each record ends in the separator the client chose, the
// last one in a line feed.
#include <string>
#include <string_view>

#include "remote/CnxRigctlParser.h"

class CnxRigctlAnswer {
public:
    explicit CnxRigctlAnswer(const SnxRigctlCommand& command);

    // A record of a reading. The extended protocol puts the key in front of it; an empty key gives
    // the value alone in both protocols.
    void AddValue(std::string_view key, std::string_view value);
    // Lines that go out as they are, each ending in a line feed, in both protocols.
    void AddBlock(std::string_view lines);
    // The whole answer with the command's result (0 or a negative error); on failure the values are
    // left out.
    std::string Finish(int result) const;

    // "RPRT n" alone: the answer of a change, of any failure, and of a line that is no command.
    static std::string Report(int result);

private:
    std::string header_;  // extended protocol only
    char separator_;
    bool reading_;
    std::string body_;
};
