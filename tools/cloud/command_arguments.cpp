// SPDX-License-Identifier: GPL-3.0-or-later
// CommandArguments: a command's words sorted into flags, options and operands.
#include "command_arguments.h"

namespace cloud {

std::optional<std::string> CommandArguments::option(std::string_view name) const
{
    std::optional<std::string> value;
    for (auto& [key, text] : options) {
        if (key == name)
            value = text;
    }
    return value;
}

CommandArguments parse_arguments(const std::vector<std::string>& words)
{
    CommandArguments arguments;
    bool only_operands = false;
    for (auto& word : words) {
        if (only_operands || word.size() < 2 || word[0] != '-') {
            arguments.operands.push_back(word);
        } else if (word == "--") {
            only_operands = true;
        } else if (word.starts_with("--")) {
            auto equals = word.find('=');
            if (equals == std::string::npos)
                arguments.flags.insert(word.substr(2));
            else
                arguments.options.emplace_back(word.substr(2, equals - 2), word.substr(equals + 1));
        } else {
            for (size_t i = 1; i < word.size(); ++i)
                arguments.flags.insert(std::string(1, word[i]));
        }
    }
    return arguments;
}

}
