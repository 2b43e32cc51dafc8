// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a whole script and checking it without running it.
#include "interpreter/script_checker.h"

#include "interpreter/script_store.h"
#include "interpreter/text.h"
#include "interpreter/variables.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace interpreter {

namespace {

struct OpenBlock {
    BlockRole role;
    int line;
    int else_line = 0;
};

BlockRole end_of(BlockRole open)
{
    switch (open) {
    case BlockRole::OpenIf:
        return BlockRole::EndIf;
    case BlockRole::OpenWhile:
        return BlockRole::EndWhile;
    case BlockRole::OpenRepeat:
        return BlockRole::EndRepeat;
    default:
        return BlockRole::None;
    }
}

FailureReason without_end(BlockRole open)
{
    switch (open) {
    case BlockRole::OpenIf:
        return FailureReason::IfWithoutEnd;
    case BlockRole::OpenWhile:
        return FailureReason::WhileWithoutEnd;
    default:
        return FailureReason::RepeatWithoutEnd;
    }
}

FailureReason without_start(BlockRole end)
{
    switch (end) {
    case BlockRole::EndIf:
        return FailureReason::EndIfWithoutIf;
    case BlockRole::EndWhile:
        return FailureReason::EndWhileWithoutWhile;
    default:
        return FailureReason::EndRepeatWithoutRepeat;
    }
}

// Pairs block heads with their ends, counting nesting; calls `report` for
// every head or end left without its partner.
template<typename Report>
void match_blocks(std::vector<DecodedStatement>& decoded, Report report)
{
    std::vector<OpenBlock> open;
    for (int index = 0; index < static_cast<int>(decoded.size()); ++index) {
        DecodedStatement& statement = decoded[index];
        int line = index + 1;
        switch (statement.role) {
        case BlockRole::OpenIf:
        case BlockRole::OpenWhile:
        case BlockRole::OpenRepeat:
            open.push_back({ statement.role, line });
            break;
        case BlockRole::Else:
            if (open.empty() || open.back().role != BlockRole::OpenIf) {
                report(line, FailureReason::ElseOutsideIf);
                break;
            }
            // A false SE goes on after its SENAO, and the SENAO to the end.
            decoded[open.back().line - 1].target = line;
            open.back().else_line = line;
            break;
        case BlockRole::EndIf:
        case BlockRole::EndWhile:
        case BlockRole::EndRepeat: {
            auto found = std::find_if(open.rbegin(), open.rend(),
                [&](const OpenBlock& block) { return end_of(block.role) == statement.role; });
            if (found == open.rend()) {
                report(line, without_start(statement.role));
                break;
            }
            OpenBlock match = *found;
            // Blocks opened inside the one this end closes never got theirs.
            while (open.back().line != match.line) {
                report(open.back().line, without_end(open.back().role));
                open.pop_back();
            }
            DecodedStatement& head = decoded[match.line - 1];
            if (head.target == 0)
                head.target = line;
            if (match.else_line != 0)
                decoded[match.else_line - 1].target = line;
            statement.target = match.line;
            open.pop_back();
            break;
        }
        default:
            break;
        }
    }
    for (const OpenBlock& block : open)
        report(block.line, without_end(block.role));
}

// Calls `found` for every "$" name a statement reads, outside text
// literals, upper-cased.
template<typename Found>
void for_each_name(std::string_view text, Found found)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            size_t close = i + 1;
            while (close < text.size() && text[close] != '"')
                ++close;
            i = close; // a doubled quote opens the next literal at once
            continue;
        }
        if (text[i] != '$')
            continue;
        size_t end = i + 1;
        while (end < text.size() && (is_ascii_letter(text[end]) || is_digit(text[end]) || text[end] == '_'))
            ++end;
        if (end > i + 1)
            found(upper_text(text.substr(i + 1, end - i - 1)));
        i = end - 1;
    }
}

}

std::vector<DecodedStatement> decode_script(const CommandTable& table, const std::vector<std::string>& lines)
{
    std::vector<DecodedStatement> decoded;
    decoded.reserve(lines.size());
    std::unordered_map<std::string, int> labels;
    for (size_t index = 0; index < lines.size(); ++index) {
        decoded.push_back(decode_statement(table, lines[index]));
        if (decoded.back().kind == LineKind::Label && !decoded.back().label.empty())
            labels.try_emplace(label_name(decoded.back(), lines[index]), static_cast<int>(index + 1));
    }
    for (size_t index = 0; index < lines.size(); ++index) {
        DecodedStatement& statement = decoded[index];
        if (statement.kind != LineKind::Statement || statement.label.empty())
            continue;
        auto found = labels.find(label_name(statement, lines[index]));
        if (found != labels.end())
            statement.target = found->second;
    }
    match_blocks(decoded, [](int, FailureReason) {});
    return decoded;
}

std::vector<Diagnostic> check_script(const CommandTable& table, const std::vector<std::string>& lines, CheckLimits limits)
{
    std::vector<Diagnostic> diagnostics;
    size_t count = std::min(lines.size(), static_cast<size_t>(max_script_lines));
    std::vector<std::string> stored(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(count));
    if (lines.size() > count)
        diagnostics.push_back({ max_script_lines + 1, FailureReason::TooManyLines, {} });

    std::vector<DecodedStatement> decoded;
    decoded.reserve(count);
    std::unordered_map<std::string, int> labels;
    std::unordered_set<std::string> names;
    bool names_reported = false;
    for (size_t index = 0; index < count; ++index) {
        int line = static_cast<int>(index + 1);
        const std::string& text = stored[index];
        if (limits.max_line_length != 0 && text.size() > limits.max_line_length)
            diagnostics.push_back({ line, FailureReason::LineTooLong, {} });
        decoded.push_back(decode_statement(table, text));
        const DecodedStatement& statement = decoded.back();
        if (statement.kind == LineKind::Label && !statement.label.empty()) {
            std::string name = label_name(statement, text);
            auto [first, added] = labels.try_emplace(name, line);
            if (!added)
                diagnostics.push_back({ line, FailureReason::DuplicateLabel,
                    "@" + name + " (linha " + std::to_string(first->second) + ")" });
        }
        if (statement.kind != LineKind::Statement)
            continue;
        if (statement.problem != FailureReason::None) {
            std::string detail;
            if (statement.problem == FailureReason::UnknownKeyword || statement.problem == FailureReason::CommandUnavailable
                || statement.problem == FailureReason::BlockStatementNested) {
                // The keyword that is wrong: the nested one for a one-line SE.
                std::string_view culprit = statement.nested.empty() ? statement.keyword.in(text) : statement.nested.in(text);
                culprit = culprit.substr(0, culprit.find(' '));
                detail = upper_text(culprit);
            }
            diagnostics.push_back({ line, statement.problem, detail });
        }
        for_each_name(statement.rest.in(text), [&](std::string name) {
            if (names_reported || names.count(name))
                return;
            names.insert(name);
            if (names.size() > static_cast<size_t>(max_variable_names)) {
                diagnostics.push_back({ line, FailureReason::TooManyNames, "$" + name });
                names_reported = true;
            }
        });
    }
    for (size_t index = 0; index < count; ++index) {
        const DecodedStatement& statement = decoded[index];
        if (statement.kind != LineKind::Statement || statement.label.empty())
            continue;
        std::string name = label_name(statement, stored[index]);
        if (!labels.count(name))
            diagnostics.push_back({ static_cast<int>(index + 1), FailureReason::MissingLabel, "@" + name });
    }
    match_blocks(decoded, [&](int line, FailureReason reason) { diagnostics.push_back({ line, reason, {} }); });
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
        [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return diagnostics;
}

std::string describe_diagnostic(const Diagnostic& diagnostic)
{
    std::string text(failure_text(diagnostic.reason));
    if (!diagnostic.detail.empty())
        text += ": " + diagnostic.detail;
    return text;
}

}
