// SPDX-License-Identifier: GPL-3.0-or-later
// SEJA with its value words and functions, RANDOMIZA and DEBUG.
#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

#include <cstdio>
#include <limits>

namespace interpreter {

namespace {

void append_two_digits(std::string& out, int value)
{
    out += static_cast<char>('0' + (value / 10) % 10);
    out += static_cast<char>('0' + value % 10);
}

constexpr std::string_view weekday_names[] = {
    "Domingo", "Segunda", "Ter\xE7" "a", "Quarta", "Quinta", "Sexta", "S\xE1" "bado",
};

// The six words that stand for a value of their own; false when `word` is
// none of them.
bool value_of_word(Runtime& runtime, std::string_view word, std::string& value)
{
    value.clear();
    if (word == "PARAMS") {
        append_number(value, static_cast<int64_t>(runtime.arguments.size()));
        for (const auto& argument : runtime.arguments) {
            value += ' ';
            for (char c : argument) {
                if (c == ' ')
                    value += "%20";
                else
                    value += c;
            }
        }
        return true;
    }
    if (word == "CRLF") {
        value = "\r\n";
        return true;
    }
    if (word != "DATA" && word != "HORA" && word != "DIA" && word != "TEMPO")
        return false;
    auto now = runtime.world.local_time();
    if (word == "DATA") {
        append_two_digits(value, now.day);
        value += '/';
        append_two_digits(value, now.month);
        value += '/';
        append_number(value, now.year);
    } else if (word == "HORA") {
        append_two_digits(value, now.hour);
        value += ':';
        append_two_digits(value, now.minute);
        value += ':';
        append_two_digits(value, now.second);
    } else if (word == "DIA") {
        value = weekday_names[now.weekday % 7];
    } else {
        int days = ((now.weekday - runtime.start_weekday) % 7 + 7) % 7;
        int64_t centiseconds = ((now.hour + 24LL * days) * 3600 + now.minute * 60 + now.second) * 100
            + now.hundredths - runtime.start_centiseconds;
        append_number(value, centiseconds);
    }
    return true;
}

// The character of a key text ("#65", "100#65"), or the empty text.
std::string character_of_key_text(std::string_view text)
{
    if (text.size() > 4 && text[3] == '#') {
        for (int i = 0; i < 3; ++i) {
            if (text[i] != '0' && text[i] != '1')
                return {};
        }
        text.remove_prefix(3);
    } else if (text.empty() || text[0] != '#') {
        return {};
    }
    text.remove_prefix(1);
    if (text.empty() || text[0] == '0')
        return {};
    auto code = parse_number(text);
    if (!code)
        return {};
    return std::string(1, static_cast<char>(static_cast<uint32_t>(*code) & 0xFF));
}

// "PALAVRA": word n of the text, words being separated by spaces.
std::string word_of_text(std::string_view text, int32_t number)
{
    for (int32_t i = 1; i < number; ++i) {
        size_t space = text.find(' ');
        if (space == std::string_view::npos) {
            text = {};
            break;
        }
        text = trim(text.substr(space + 1));
    }
    return std::string(text.substr(0, text.find(' ')));
}

enum class Function { Length, Upper, Trim, Position, Random, Word, Character, Code };

struct FunctionName {
    std::string_view name; // with its trailing space
    Function function;
};

constexpr FunctionName function_names[] = {
    { "TAMANHO ", Function::Length }, { "MAIUSC ", Function::Upper }, { "TRIM ", Function::Trim },
    { "POS ", Function::Position }, { "RAND ", Function::Random }, { "PALAVRA ", Function::Word },
    { "CHR ", Function::Character }, { "ASC ", Function::Code },
};

bool run_function(Runtime& runtime, int target, Function function, std::string_view rest)
{
    std::string first;
    if (function == Function::Position || function == Function::Word) {
        if (!read_value(runtime, rest, first))
            return false;
    }
    std::string argument;
    if (!read_value(runtime, rest, argument) || !rest.empty())
        return false;
    std::string result;
    switch (function) {
    case Function::Length:
        append_number(result, static_cast<int64_t>(argument.size()));
        break;
    case Function::Upper:
        result = upper_text(argument);
        break;
    case Function::Trim:
        result = trim(argument);
        break;
    case Function::Position: {
        size_t found = first.empty() ? std::string::npos : argument.find(first);
        append_number(result, found == std::string::npos ? 0 : static_cast<int64_t>(found) + 1);
        break;
    }
    case Function::Random: {
        auto limit = parse_number(argument);
        if (!limit)
            return false;
        append_number(result, runtime.random.next_below(*limit));
        break;
    }
    case Function::Word: {
        auto number = parse_number(first);
        if (!number || *number < 1)
            return false;
        result = word_of_text(argument, *number);
        break;
    }
    case Function::Character:
        result = character_of_key_text(argument);
        break;
    case Function::Code:
        if (argument.size() == 1) {
            result = "#";
            append_number(result, static_cast<uint8_t>(argument[0]));
        }
        break;
    }
    runtime.variables.set(target, result);
    return true;
}

bool run_let(Runtime& runtime, std::string_view rest)
{
    auto target = read_trimmed_target(runtime, rest);
    if (!target || rest.empty())
        return false;
    if (rest[0] == '=') {
        rest = trim_front(rest.substr(1));
        if (rest.empty())
            return false;
    }
    std::string& value = runtime.scratch;
    // Value words and function names begin with a letter; most values do
    // not, and skip both searches.
    if (is_ascii_letter(rest[0])) {
        if (rest.size() <= 6) {
            std::string word = upper_text(rest);
            if (value_of_word(runtime, word, value)) {
                runtime.variables.set(*target, value);
                return true;
            }
        }
        for (const auto& function : function_names) {
            if (starts_with_upper(rest, function.name))
                return run_function(runtime, *target, function.function, trim(rest.substr(function.name.size())));
        }
    }
    if (rest[0] == '(') {
        // An expression's value is written straight into the variable,
        // which then knows it as a number.
        int64_t number = 0;
        if (!read_parenthesised_number(runtime, rest, number))
            return false;
        rest = trim_front(rest);
        std::string& text = runtime.variables.writable_text(*target);
        text.clear();
        append_number(text, number);
        if (number >= std::numeric_limits<int32_t>::min() && number <= std::numeric_limits<int32_t>::max())
            runtime.variables.remember_number(*target, static_cast<int32_t>(number));
        return rest.empty();
    }
    std::string_view seen;
    if (!read_trimmed_value_view(runtime, rest, value, seen))
        return false;
    runtime.variables.set(*target, seen);
    return rest.empty();
}

bool run_randomize(Runtime& runtime, std::string_view rest)
{
    if (!rest.empty())
        return false;
    runtime.random.seed(runtime.world.random_seed());
    return true;
}

bool run_debug(Runtime& runtime, std::string_view rest)
{
    if (rest == "-" || (!rest.empty() && rest[0] == 'N')) {
        runtime.debug_echo = false;
        write_message_line(runtime, "Debug desligado");
    } else {
        runtime.debug_echo = true;
        write_message_line(runtime, "Debug ligado");
    }
    return true;
}

}

Handler own_let_handler() { return run_let; }

void bind_value_statements(CommandTable& table)
{
    table.bind("SEJA", run_let);
    table.bind("RANDOMIZA", run_randomize);
    table.bind("DEBUG", run_debug);
}

}
