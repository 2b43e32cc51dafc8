// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop: executing stored lines one at a time, and dispatching statements.
#include "interpreter/run_loop.h"

#include "interpreter/decoded_operations.h"
#include "interpreter/messages.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace interpreter {

namespace {

// How many statements run between two looks at pending events. A script
// that never waits (a loop without a pause or a read) must still be ended by
// closing the window or Ctrl+Break; a look costs a system call, so it comes
// seldom enough to cost nothing measurable, and often enough to answer
// within a few milliseconds at the slowest.
constexpr uint32_t statements_between_looks = 4096;

// The table's entry for `keyword` (as written), whose folded form is
// `packed`; null when the language has no such keyword.
inline const CommandEntry* find_command(Runtime& runtime, std::string_view keyword, const PackedKeyword& packed)
{
    const CommandEntry* entry = runtime.commands.find(packed);
    // Folding is the case rule itself for a keyword of letters; the few
    // with digits are checked again by the rule.
    if (entry && !entry->folds_exactly && !equals_upper(keyword, entry->keyword))
        return nullptr;
    return entry;
}

// `keyword` is as written, `entry` its command or null; `rest` is trimmed.
// Inline, as a call of its own costs every statement more than its lookup
// does.
[[gnu::always_inline]] inline bool dispatch_statement(Runtime& runtime, std::string_view keyword, const CommandEntry* entry,
    std::string_view rest)
{
    if (runtime.debug_echo) {
        // The echo shows the keyword as the run loop split it: only a..z
        // upper-cased.
        std::string echo(keyword);
        for (char& c : echo) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        }
        echo += ' ';
        echo += rest;
        write_message_line(runtime, echo);
    }
    if (!entry) {
        write_message_line(runtime, "Comando inv\xE1lido: " + upper_text(keyword));
        return fail_because(runtime, FailureReason::UnknownKeyword);
    }
    runtime.current_keyword = entry->keyword;
    return entry->handler(runtime, entry->passes_rest ? rest : std::string_view());
}

// Keywords are found eight bytes at a time: most statements have a keyword
// of fewer than eight letters and a text of at least eight bytes.
constexpr uint64_t byte_ones = 0x0101010101010101ull;
constexpr uint64_t byte_highs = 0x8080808080808080ull;

// When the first eight bytes of `text` hold a space: `length` is where the
// first one is, and `packed` the bytes before it folded as PackedKeyword
// folds them, in its byte order. False, with neither set, otherwise.
inline bool keyword_in_first_word(std::string_view text, size_t& length, uint64_t& packed)
{
    uint64_t word;
    std::memcpy(&word, text.data(), sizeof word);
    // Bit 7 of the first byte equal to a space; bytes above it may be
    // marked wrongly, which the lowest set bit does not see.
    uint64_t spaces = word ^ (' ' * byte_ones);
    uint64_t marks = (spaces - byte_ones) & ~spaces & byte_highs;
    if (marks == 0 || std::endian::native != std::endian::little)
        return false;
    length = static_cast<size_t>(std::countr_zero(marks)) / 8;
    packed = word & PackedKeyword::fold_mask & ((uint64_t(1) << (8 * length)) - 1);
    return true;
}

// A statement split at its first space, with its keyword looked up.
struct SplitStatement {
    size_t keyword_length = 0;
    const CommandEntry* entry = nullptr;
    std::string_view rest; // trimmed
};

// `text` is a statement trimmed at both ends.
[[gnu::always_inline]] inline SplitStatement split_statement(Runtime& runtime, std::string_view text)
{
    // The keyword ends at the first space.
    size_t length = 0;
    PackedKeyword packed;
    if (text.size() >= sizeof(uint64_t) && keyword_in_first_word(text, length, packed.words[0])) {
        packed.length = length;
    } else {
        while (length < text.size() && text[length] != ' ')
            ++length;
        packed = PackedKeyword::from(text.substr(0, length));
    }
    // The line is trimmed at its end already, so the rest needs it only at
    // its front.
    std::string_view rest = length < text.size() ? trim_front(text.substr(length + 1)) : std::string_view();
    return { length, find_command(runtime, text.substr(0, length), packed), rest };
}

inline bool is_nothing_to_run(std::string_view text)
{
    return text.empty() || text[0] == '*' || text[0] == '@';
}

// `text` is trimmed at both ends. `fresh_reason` empties the failure reason
// before the statement runs: statements run outside the run loop's own steps
// (nested ones, and callers from outside) must not inherit the reason of the
// one before them, which the run loop's steps tell apart for its own lines.
template <bool fresh_reason>
[[gnu::always_inline]] inline bool execute_trimmed_line(Runtime& runtime, std::string_view text, bool nested)
{
    if (is_nothing_to_run(text))
        return true;

    SplitStatement split = split_statement(runtime, text);
    const CommandEntry* entry = split.entry;
    // ("senão" in lower case is refused as well: it finds the same entry.)
    if (nested && ((entry && entry->shapes_block) || runtime.nesting_depth >= max_nesting_depth))
        return fail_because(runtime, entry && entry->shapes_block ? FailureReason::BlockStatementNested : FailureReason::CommandFailed);
    if constexpr (fresh_reason)
        runtime.failure_reason = FailureReason::None;
    runtime.nesting_depth += nested ? 1 : 0;
    bool succeeded = dispatch_statement(runtime, text.substr(0, split.keyword_length), entry, split.rest);
    runtime.nesting_depth -= nested ? 1 : 0;
    runtime.run_failed = !succeeded;
    return succeeded;
}

// Splits stored line `number` as the text path does and keeps the result.
[[gnu::noinline]] void decode_line(Runtime& runtime, std::string_view text, DecodedLine& line)
{
    if (is_nothing_to_run(text)) {
        line.kind = DecodedLine::Kind::Nothing;
        return;
    }
    SplitStatement split = split_statement(runtime, text);
    line.command = split.entry;
    line.keyword_length = static_cast<uint32_t>(split.keyword_length);
    line.rest_begin = static_cast<uint32_t>(split.rest.empty() ? text.size() : split.rest.data() - text.data());
    line.rest_length = static_cast<uint32_t>(split.rest.size());
    line.kind = DecodedLine::Kind::Statement;
    if (auto operation = decode_operation(runtime.commands, split.entry, text, split.rest))
        line.operation = runtime.store.add_operation(*operation);
}

// Runs stored line `number` (not nested) from its decoded form, decoding it
// the first time.
[[gnu::always_inline]] inline bool execute_stored_line(Runtime& runtime, int number)
{
    DecodedLine& line = runtime.store.decoded(number);
    if (line.kind == DecodedLine::Kind::NotDecoded) [[unlikely]]
        decode_line(runtime, runtime.store.statement(number), line);
    if (line.kind == DecodedLine::Kind::Nothing)
        return true;
    if (line.operation >= 0 && !runtime.debug_echo) {
        runtime.current_keyword = line.command->keyword;
        auto outcome = run_operation(runtime, number, runtime.store.operation(line.operation));
        if (outcome != OperationOutcome::NotRun) {
            bool succeeded = outcome == OperationOutcome::Succeeded;
            runtime.run_failed = !succeeded;
            return succeeded;
        }
    }
    std::string_view text = runtime.store.statement(number);
    bool succeeded = dispatch_statement(runtime, text.substr(0, line.keyword_length), line.command,
        text.substr(line.rest_begin, line.rest_length));
    runtime.run_failed = !succeeded;
    return succeeded;
}

// The step at which the run loop next has something to do besides running a
// line: look at pending events, or stop a run past its step limit.
inline uint64_t next_check_after(const Runtime& runtime, uint64_t steps)
{
    uint64_t next = (steps / statements_between_looks + 1) * statements_between_looks;
    if (runtime.step_limit != 0 && runtime.step_limit < next)
        next = runtime.step_limit + 1;
    return next;
}

template <bool from_text>
void run_lines(Runtime& runtime)
{
    uint64_t next_check = next_check_after(runtime, 0);
    while (runtime.current_line <= runtime.store.line_count()) {
        if (++runtime.steps >= next_check) [[unlikely]] {
            if (runtime.step_limit != 0 && runtime.steps > runtime.step_limit) {
                runtime.run_failed = true;
                runtime.failure_reason = FailureReason::StepLimit;
                runtime.failure_step = runtime.steps;
                break;
            }
            if (runtime.steps % statements_between_looks == 0)
                runtime.world.look_at_events();
            next_check = next_check_after(runtime, runtime.steps);
        }
        // A statement's outcome is what it leaves in run_failed.
        bool succeeded;
        if constexpr (from_text)
            succeeded = execute_trimmed_line<false>(runtime, runtime.store.statement(runtime.current_line), false);
        else
            succeeded = execute_stored_line(runtime, runtime.current_line);
        if (!succeeded || runtime.stop_requested)
            break;
        ++runtime.current_line;
    }
}

}

void reset_interpreter(Runtime& runtime)
{
    runtime.current_line = 1;
    runtime.run_failed = false;
    runtime.stop_requested = false;
    runtime.current_keyword = {};
    runtime.call_depth = 0;
    runtime.io_status = 0;
    runtime.variables.reset();
    runtime.lists.clear();
    runtime.world.pause_ms(1);
    auto now = runtime.world.local_time();
    runtime.start_weekday = now.weekday;
    runtime.start_centiseconds = now.hour * 360000LL + now.minute * 6000LL + now.second * 100LL + now.hundredths;
}

RunOutcome run_script(Runtime& runtime)
{
    runtime.current_line = 1;
    runtime.run_failed = false;
    runtime.stop_requested = false;
    runtime.current_keyword = {};
    runtime.call_depth = 0;
    runtime.io_status = 0;
    runtime.failure_reason = FailureReason::None;
    runtime.steps = 0;
    if (runtime.text_path)
        run_lines<true>(runtime);
    else
        run_lines<false>(runtime);
    // Only a reason noted by the failing line's own step is its reason.
    if (!runtime.run_failed || runtime.failure_step != runtime.steps)
        runtime.failure_reason = FailureReason::None;
    runtime.store.clear();
    return { runtime.run_failed, runtime.current_line };
}

bool execute_line(Runtime& runtime, std::string_view text, bool nested)
{
    return execute_trimmed_line<true>(runtime, trim(text), nested);
}

bool execute_trimmed(Runtime& runtime, std::string_view text, bool nested)
{
    return execute_trimmed_line<true>(runtime, text, nested);
}

bool execute_statement(Runtime& runtime, std::string_view keyword, std::string_view rest)
{
    runtime.failure_reason = FailureReason::None;
    return dispatch_statement(runtime, keyword, find_command(runtime, keyword, PackedKeyword::from(keyword)), trim(rest));
}

}
