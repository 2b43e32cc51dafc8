// SPDX-License-Identifier: GPL-3.0-or-later
// CommandArguments: a command's words sorted into flags, options and operands.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cloud {

// "-rf" gives the flags "r" and "f"; "--verify" the flag "verify";
// "--with=x" the option "with" = "x"; "--" makes every later word an
// operand, for names that begin with "-". A lone "-" is an operand.
struct CommandArguments {
    std::vector<std::string> operands;
    std::set<std::string> flags;
    std::vector<std::pair<std::string, std::string>> options;

    bool has(std::string_view flag) const { return flags.contains(std::string(flag)); }
    // The last value given to an option.
    std::optional<std::string> option(std::string_view name) const;
};

CommandArguments parse_arguments(const std::vector<std::string>& words);

}
