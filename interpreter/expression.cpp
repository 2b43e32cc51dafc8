// SPDX-License-Identifier: GPL-3.0-or-later
// Integer expressions, for values written in parentheses.
//
//   expression := term { ("+" | "-") term }
//   term       := factor { ("*" | "/") factor }
//   factor     := number | variable | "(" expression ")" | "-" factor
//
// A failed operand leaves the cursor on the token where it failed. After "*"
// or "/" that failure ends the term with the value it had, unless the failing
// token is itself "*" or "/"; after "+" or "-" likewise one level up. A
// missing first operand, or a missing ")", makes the whole expression invalid.
#include "interpreter/expression.h"

#include "interpreter/argument_readers.h"
#include "interpreter/flat_sum.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <limits>

namespace interpreter {

namespace {

enum class TokenKind { End, Open, Close, Times, Plus, Minus, Divide, Number, Invalid };

struct Token {
    TokenKind kind = TokenKind::End;
    int64_t value = 0;
    size_t start = 0; // offset of the token's first character
};

// Why an operand could not be read: a soft failure at the current token, or
// an invalid expression.
enum class Outcome { Ok, FailedAtToken, Invalid };

class ExpressionParser {
public:
    ExpressionParser(Runtime& runtime, std::string_view text)
        : m_runtime(runtime)
        , m_text(text)
    {
        advance();
    }

    ExpressionResult parse()
    {
        int64_t value = 0;
        if (parse_expression(value, true) != Outcome::Ok)
            return {};
        return { true, value, m_text.substr(m_token.start) };
    }

private:
    void advance()
    {
        while (m_position < m_text.size() && m_text[m_position] == ' ')
            ++m_position;
        m_token = Token { TokenKind::End, 0, m_position };
        if (m_position >= m_text.size())
            return;
        char c = m_text[m_position];
        switch (c) {
        case '(': m_token.kind = TokenKind::Open; ++m_position; return;
        case ')': m_token.kind = TokenKind::Close; ++m_position; return;
        case '*': m_token.kind = TokenKind::Times; ++m_position; return;
        case '+': m_token.kind = TokenKind::Plus; ++m_position; return;
        case '-': m_token.kind = TokenKind::Minus; ++m_position; return;
        case '/': m_token.kind = TokenKind::Divide; ++m_position; return;
        default: break;
        }
        if (is_digit(c)) {
            // Literals accumulate in 32 bits and wrap around, as the
            // language's integers do.
            uint32_t accumulated = 0;
            while (m_position < m_text.size() && is_digit(m_text[m_position]))
                accumulated = accumulated * 10u + static_cast<uint32_t>(m_text[m_position++] - '0');
            m_token.kind = TokenKind::Number;
            m_token.value = static_cast<int32_t>(accumulated);
            return;
        }
        if (c == '$') {
            size_t length = 0;
            auto slot = find_name_slot(m_runtime, m_text.substr(m_position + 1), false, length);
            if (length == 0) {
                m_token.kind = TokenKind::Invalid;
                ++m_position;
                return;
            }
            m_position += 1 + length;
            set_variable_token(slot ? *slot : -1);
            return;
        }
        if (is_ascii_letter(c)) {
            ++m_position;
            set_variable_token(upper_byte(c));
            return;
        }
        m_token.kind = TokenKind::Invalid;
        ++m_position;
    }

    // `slot` is -1 for a name the full name table has no room for.
    void set_variable_token(int slot)
    {
        auto number = slot >= 0 ? m_runtime.variables.number(slot) : std::nullopt;
        m_token.kind = number ? TokenKind::Number : TokenKind::Invalid;
        m_token.value = number.value_or(0);
    }

    Outcome parse_factor(int64_t& value)
    {
        // Deep nesting of "(" or "-" would otherwise exhaust the stack on a
        // hostile line; no real expression comes near this.
        if (m_depth >= max_nesting)
            return Outcome::Invalid;
        ++m_depth;
        auto outcome = parse_nested_factor(value);
        --m_depth;
        return outcome;
    }

    Outcome parse_nested_factor(int64_t& value)
    {
        switch (m_token.kind) {
        case TokenKind::Number:
            value = m_token.value;
            advance();
            return Outcome::Ok;
        case TokenKind::Open: {
            advance();
            if (parse_expression(value, true) != Outcome::Ok)
                return Outcome::Invalid;
            if (m_token.kind != TokenKind::Close)
                return Outcome::Invalid;
            advance();
            return Outcome::Ok;
        }
        case TokenKind::Minus: {
            advance();
            int64_t operand = 0;
            auto outcome = parse_factor(operand);
            if (outcome == Outcome::Ok)
                value = static_cast<int64_t>(0u - static_cast<uint64_t>(operand));
            return outcome;
        }
        default:
            return Outcome::FailedAtToken;
        }
    }

    Outcome parse_term(int64_t& value, bool must_begin)
    {
        auto first = parse_factor(value);
        if (first == Outcome::Invalid || (first == Outcome::FailedAtToken && must_begin))
            return Outcome::Invalid;
        if (first != Outcome::Ok)
            return first;
        while (m_token.kind == TokenKind::Times || m_token.kind == TokenKind::Divide) {
            bool dividing = m_token.kind == TokenKind::Divide;
            advance();
            int64_t operand = 0;
            auto outcome = parse_factor(operand);
            if (outcome == Outcome::Invalid)
                return Outcome::Invalid;
            if (outcome == Outcome::FailedAtToken) {
                if (m_token.kind == TokenKind::Times || m_token.kind == TokenKind::Divide)
                    return Outcome::Invalid;
                return Outcome::Ok;
            }
            if (dividing) {
                if (operand == 0 || (value == std::numeric_limits<int64_t>::min() && operand == -1))
                    return Outcome::Invalid;
                value /= operand;
            } else {
                value = static_cast<int64_t>(static_cast<uint64_t>(value) * static_cast<uint64_t>(operand));
            }
        }
        return Outcome::Ok;
    }

    Outcome parse_expression(int64_t& value, bool must_begin)
    {
        if (parse_term(value, must_begin) != Outcome::Ok)
            return Outcome::Invalid;
        while (m_token.kind == TokenKind::Plus || m_token.kind == TokenKind::Minus) {
            bool subtracting = m_token.kind == TokenKind::Minus;
            advance();
            int64_t operand = 0;
            auto outcome = parse_term(operand, false);
            if (outcome == Outcome::Invalid)
                return Outcome::Invalid;
            if (outcome == Outcome::FailedAtToken) {
                if (m_token.kind == TokenKind::Plus || m_token.kind == TokenKind::Minus)
                    return Outcome::Invalid;
                return Outcome::Ok;
            }
            auto left = static_cast<uint64_t>(value);
            auto right = static_cast<uint64_t>(operand);
            value = static_cast<int64_t>(subtracting ? left - right : left + right);
        }
        return Outcome::Ok;
    }

    Runtime& m_runtime;
    std::string_view m_text;
    size_t m_position = 0;
    Token m_token;
    static constexpr int max_nesting = 200;
    int m_depth = 0;
};

}

namespace {

// One operand of a flat expression at `position` (spaces skipped already):
// a literal, a letter or a "$" name holding a number. False for anything
// else, which the grammar then decides on.
[[gnu::always_inline]] inline bool read_flat_operand(Runtime& runtime, std::string_view text, size_t& position, int64_t& value)
{
    if (position >= text.size())
        return false;
    char c = text[position];
    unsigned digit = static_cast<unsigned char>(c) - unsigned('0');
    if (digit <= 9) {
        // Literals accumulate in 32 bits and wrap around, as the grammar's do.
        uint32_t accumulated = digit;
        ++position;
        while (position < text.size() && (digit = static_cast<unsigned char>(text[position]) - unsigned('0')) <= 9) {
            accumulated = accumulated * 10u + digit;
            ++position;
        }
        value = static_cast<int32_t>(accumulated);
        return true;
    }
    int slot = -1;
    if (c == '$') {
        std::string_view name = text.substr(position + 1);
        size_t length = 0;
        slot = remembered_name_slot(runtime, name, false, length);
        if (slot < 0) {
            auto found = find_name_slot(runtime, name, false, length);
            if (!found)
                return false;
            slot = *found;
        }
        position += 1 + length;
    } else if (is_ascii_letter(c)) {
        slot = upper_byte(c);
        ++position;
    } else {
        return false;
    }
    auto number = runtime.variables.number(slot);
    if (!number)
        return false;
    value = *number;
    return true;
}

inline void skip_spaces(std::string_view text, size_t& position)
{
    while (position < text.size() && text[position] == ' ')
        ++position;
}

// Most expressions are a flat run of numbers and variables joined by
// + - * /, which need neither the recursion nor the failure rules of the
// grammar: two accumulators give the same precedence, and the text is read
// once without tokens. Anything else (a parenthesis, a unary minus, an
// operand that fails, a division that is invalid) returns false, and the
// caller parses the text afresh with the full grammar.
[[gnu::always_inline]] inline bool eval_flat_expression(Runtime& runtime, std::string_view text, ExpressionResult& result)
{
    size_t position = 0;
    skip_spaces(text, position);
    int64_t first = 0;
    if (!read_flat_operand(runtime, text, position, first))
        return false;
    FlatSum sum(first);
    for (;;) {
        skip_spaces(text, position);
        if (position >= text.size())
            break;
        char operation = text[position];
        if (operation != '+' && operation != '-' && operation != '*' && operation != '/')
            break;
        ++position;
        skip_spaces(text, position);
        int64_t operand = 0;
        if (!read_flat_operand(runtime, text, position, operand) || !sum.apply(operation, operand))
            return false;
    }
    result = { true, sum.total(), text.substr(position) };
    return true;
}

}

ExpressionResult eval_expression(Runtime& runtime, std::string_view text)
{
    ExpressionResult result;
    if (eval_flat_expression(runtime, text, result))
        return result;
    return ExpressionParser(runtime, text).parse();
}

ExpressionResult eval_expression_by_grammar(Runtime& runtime, std::string_view text)
{
    return ExpressionParser(runtime, text).parse();
}

}
