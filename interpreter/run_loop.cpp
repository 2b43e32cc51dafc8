// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop: executing stored lines one at a time, and dispatching statements.
#include "interpreter/run_loop.h"

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

// Nested statements deeper than this fail: no script needs more, and a CMD
// that runs itself must end with a failure rather than a crash.
constexpr int max_nesting_depth = 64;

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
    runtime.failure_reason = FailureReason::None;
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

// `text` is trimmed at both ends.
[[gnu::always_inline]] inline bool execute_trimmed_line(Runtime& runtime, std::string_view text, bool nested)
{
    if (text.empty() || text[0] == '*' || text[0] == '@')
        return true;

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
    std::string_view keyword = text.substr(0, length);
    // The line is trimmed at its end already, so the rest needs it only at
    // its front.
    std::string_view rest = length < text.size() ? trim_front(text.substr(length + 1)) : std::string_view();
    const CommandEntry* entry = find_command(runtime, keyword, packed);

    // ("senão" in lower case is refused as well: it finds the same entry.)
    if (nested && ((entry && entry->shapes_block) || runtime.nesting_depth >= max_nesting_depth))
        return fail_because(runtime, entry && entry->shapes_block ? FailureReason::BlockStatementNested : FailureReason::CommandFailed);
    runtime.nesting_depth += nested ? 1 : 0;
    bool succeeded = dispatch_statement(runtime, keyword, entry, rest);
    runtime.nesting_depth -= nested ? 1 : 0;
    runtime.run_failed = !succeeded;
    return succeeded;
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
    uint64_t steps = 0;
    uint32_t until_look = statements_between_looks;
    while (runtime.current_line <= runtime.store.line_count()) {
        if (runtime.step_limit != 0 && ++steps > runtime.step_limit) {
            runtime.run_failed = true;
            runtime.failure_reason = FailureReason::StepLimit;
            break;
        }
        if (--until_look == 0) {
            until_look = statements_between_looks;
            runtime.world.look_at_events();
        }
        // A statement's outcome is what it leaves in run_failed.
        if (!execute_trimmed_line(runtime, runtime.store.statement(runtime.current_line), false) || runtime.stop_requested)
            break;
        ++runtime.current_line;
    }
    runtime.store.clear();
    return { runtime.run_failed, runtime.current_line };
}

bool execute_line(Runtime& runtime, std::string_view text, bool nested)
{
    return execute_trimmed_line(runtime, trim(text), nested);
}

bool execute_trimmed(Runtime& runtime, std::string_view text, bool nested)
{
    return execute_trimmed_line(runtime, text, nested);
}

bool execute_statement(Runtime& runtime, std::string_view keyword, std::string_view rest)
{
    return dispatch_statement(runtime, keyword, find_command(runtime, keyword, PackedKeyword::from(keyword)), trim(rest));
}

}
