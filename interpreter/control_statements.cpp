// SPDX-License-Identifier: GPL-3.0-or-later
// Conditions, loops, jumps and subroutines.
//
// Nothing is compiled: each statement finds its partner lines by scanning the
// text of the store when it runs, and moves current_line to the line before
// the next one to run (the run loop then adds one). The answers of the scans
// are remembered in the store, which cannot change during a run, so a loop
// that turns a million times scans once.
#include "interpreter/argument_readers.h"
#include "interpreter/condition.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

#include <algorithm>
#include <limits>

namespace interpreter {

namespace {

using Memo = ScriptStore::Memo;

bool first_word_is(std::string_view normalised, std::string_view word)
{
    return normalised.size() > word.size() && normalised.starts_with(word) && normalised[word.size()] == ' ';
}

// Moves current_line to the first line after it that reads "FIM <word>", or
// past the end. Nesting is not counted.
void skip_to_end(Runtime& runtime, std::string_view word, Memo memo)
{
    int start = runtime.current_line;
    int known = runtime.store.memo(memo, start);
    if (known >= 0) {
        runtime.current_line = known;
        return;
    }
    int target = runtime.store.line_count() + 1;
    for (int line = start + 1; line <= runtime.store.line_count(); ++line) {
        const std::string& text = runtime.store.normalised_line(line);
        if (text.size() == 4 + word.size() && text.starts_with("FIM ") && std::string_view(text).substr(4) == word) {
            target = line;
            break;
        }
    }
    runtime.store.remember(memo, start, target);
    runtime.current_line = target;
}

// A condition whose validity can change while the program runs: one with an
// expression (variables may stop holding numbers) or a list test (lists come
// and go).
bool condition_depends_on_state(std::string_view normalised_condition)
{
    return normalised_condition.find('(') != std::string_view::npos
        || normalised_condition.find("EM") != std::string_view::npos;
}

// Skips a false SE block: resumes after its own "FIM SE" or "SENAO". When the
// first end the scan meets belongs to a nested block, the block is not
// skipped at all and execution goes on inside it.
void skip_false_block(Runtime& runtime)
{
    int start = runtime.current_line;
    int known = runtime.store.memo(Memo::FalseBlock, start);
    if (known >= 0) {
        runtime.current_line = known;
        return;
    }
    bool cacheable = true;
    int depth = 1;
    int target = runtime.store.line_count() + 1;
    for (int line = start + 1; line <= runtime.store.line_count(); ++line) {
        const std::string& text = runtime.store.normalised_line(line);
        if (text.starts_with("SE ")) {
            std::string_view condition = std::string_view(text).substr(3);
            if (condition_depends_on_state(condition))
                cacheable = false;
            auto result = eval_condition(runtime, condition);
            if (result.valid && result.rest.empty())
                ++depth;
            continue;
        }
        if (text == "FIM SE") {
            --depth;
            target = depth == 0 ? line : start;
            break;
        }
        if (text == "SENAO" || text == "SEN\xC3O") {
            target = depth == 1 ? line : start;
            break;
        }
    }
    if (cacheable)
        runtime.store.remember(Memo::FalseBlock, start, target);
    runtime.current_line = target;
}

// find_head_above when the memo does not know the answer yet; out of line,
// so that the loop's every turn does not pay for the scan's stack frame.
[[gnu::noinline]] int scan_for_head_above(Runtime& runtime, std::string_view word, Memo memo, int start)
{
    int head = 0;
    for (int line = start - 1; line >= 1; --line) {
        if (first_word_is(runtime.store.normalised_line(line), word)) {
            head = line;
            break;
        }
    }
    runtime.store.remember(memo, start, head);
    return head;
}

// The nearest line above current_line whose first word is `word`; 0 if none.
inline int find_head_above(Runtime& runtime, std::string_view word, Memo memo)
{
    // A FIM run outside a run (a test, or a line executed after the store was
    // emptied) may find current_line past the stored lines.
    int start = std::min(runtime.current_line, runtime.store.line_count() + 1);
    int known = runtime.store.memo(memo, start);
    if (known >= 0)
        return known;
    return scan_for_head_above(runtime, word, memo, start);
}

bool run_if(Runtime& runtime, std::string_view rest)
{
    auto condition = eval_condition(runtime, rest);
    if (!condition.valid)
        return fail_because(runtime, FailureReason::InvalidCondition);
    if (condition.truth)
        return condition.rest.empty() || execute_trimmed(runtime, condition.rest, true);
    if (condition.rest.empty())
        skip_false_block(runtime);
    return true;
}

bool run_else(Runtime& runtime, std::string_view rest)
{
    if (!rest.empty())
        return fail_because(runtime, FailureReason::ExtraText);
    skip_to_end(runtime, "SE", Memo::SkipToEndIf);
    return true;
}

bool run_while(Runtime& runtime, std::string_view rest)
{
    auto condition = eval_condition(runtime, rest);
    if (!condition.valid)
        return fail_because(runtime, FailureReason::InvalidCondition);
    if (!condition.truth)
        skip_to_end(runtime, "ENQUANTO", Memo::SkipToEndWhile);
    return true;
}

// One step of a REPETE loop: from the statement itself (start) or from its
// "FIM REPETE" line (continue).
// `rest` is trimmed, as handlers receive it and as run_end passes it.
bool repeat_step(Runtime& runtime, std::string_view rest, bool continuing)
{
    auto target = read_trimmed_target(runtime, rest);
    if (!target)
        return fail_because(runtime, rest.empty() ? FailureReason::MissingOperand : FailureReason::InvalidVariable);
    if (rest.empty())
        return fail_because(runtime, FailureReason::MissingOperand);
    int32_t count = 0;
    bool plain_digits = false;
    if (continuing) {
        int32_t known = 0;
        if (runtime.variables.known_number(*target, known)) {
            // The text is the number as written: digits alone when positive.
            count = known;
            plain_digits = known >= 0;
        } else {
            const std::string& counter = runtime.variables.text(*target);
            uint32_t plain;
            plain_digits = parse_plain_digits(counter, plain);
            auto current = plain_digits ? std::optional<int32_t>(static_cast<int32_t>(plain)) : parse_number_general(counter);
            if (!current)
                return fail_because(runtime, FailureReason::NotANumber);
            count = *current;
        }
    }
    auto limit = read_trimmed_number_value(runtime, rest);
    if (!limit)
        return false;
    int64_t next = int64_t(count) + 1;
    std::string& counter = runtime.variables.writable_text(*target);
    if (!continuing || !(plain_digits ? increment_digits_in_place(counter, 0) : increment_in_place(counter, 0))) {
        counter.clear();
        append_number(counter, next);
    }
    // Either way the counter now reads as `next` is written.
    if (next <= std::numeric_limits<int32_t>::max())
        runtime.variables.remember_number(*target, static_cast<int32_t>(next));
    if (*limit < next)
        skip_to_end(runtime, "REPETE", Memo::SkipToEndRepeat);
    return true;
}

bool run_repeat(Runtime& runtime, std::string_view rest)
{
    return repeat_step(runtime, rest, false);
}

// True when `text` upper-cased is `word`, which is made of the letters A to
// Z only: a byte upper-cases to such a letter only from itself or its
// lower-case form, and the two differ in the one bit masked off here. No
// early exit, so that the comparison of a loop's every turn is unrolled.
bool is_letter_word(std::string_view text, std::string_view word)
{
    if (text.size() != word.size())
        return false;
    unsigned difference = 0;
    for (size_t i = 0; i < word.size(); ++i)
        difference |= (static_cast<unsigned char>(text[i]) & 0xDFu) ^ static_cast<unsigned char>(word[i]);
    return difference == 0;
}

bool run_end(Runtime& runtime, std::string_view rest)
{
    if (rest.empty())
        return fail_because(runtime, FailureReason::MissingOperand);
    if (is_letter_word(rest, "ENQUANTO")) {
        int head = find_head_above(runtime, "ENQUANTO", Memo::WhileHead);
        if (head == 0)
            return fail_because(runtime, FailureReason::EndWhileWithoutWhile);
        runtime.current_line = head - 1;
        return true;
    }
    if (is_letter_word(rest, "REPETE")) {
        int head = find_head_above(runtime, "REPETE", Memo::RepeatHead);
        if (head == 0)
            return fail_because(runtime, FailureReason::EndRepeatWithoutRepeat);
        runtime.current_line = head;
        // The head's normalised text is "REPETE " and the rest, trimmed,
        // with no run of spaces left in it.
        std::string_view head_text = runtime.store.normalised_line(head);
        return repeat_step(runtime, head_text.substr(7), true);
    }
    return true;
}

// The label name of DESVIA and CHAMA: "@name", or a value holding the name.
bool read_label_name(Runtime& runtime, std::string_view rest, std::string& name)
{
    if (rest.empty())
        return fail_because(runtime, FailureReason::MissingOperand);
    if (rest[0] == '@') {
        rest.remove_prefix(1);
        if (rest.find(' ') != std::string_view::npos)
            return fail_because(runtime, FailureReason::ExtraText);
        name.assign(rest);
    } else if (!read_value(runtime, rest, name)) {
        return fail_because(runtime, FailureReason::InvalidValue);
    } else if (!rest.empty()) {
        return fail_because(runtime, FailureReason::ExtraText);
    }
    upper_text_in_place(name);
    return true;
}

bool jump_to_label(Runtime& runtime, std::string_view upper_name)
{
    auto line = runtime.store.find_label(upper_name);
    if (!line)
        return fail_because(runtime, FailureReason::MissingLabel);
    runtime.current_line = *line;
    return true;
}

// The label line a stored jump found the last time it ran, or 0. A jump
// that writes its label ("@" and the name) always leads to the same line
// while the store stays as it is; one that names it with a value does not.
inline int remembered_jump(Runtime& runtime, std::string_view rest, DecodedLine*& decoded)
{
    decoded = runtime.store.decoded_for_rest(runtime.current_line, rest);
    return decoded && decoded->jump_generation == runtime.store.generation() ? decoded->jump_target : 0;
}

inline void remember_jump(Runtime& runtime, DecodedLine* decoded, std::string_view rest, int target)
{
    if (decoded && !rest.empty() && rest[0] == '@') {
        decoded->jump_target = target;
        decoded->jump_generation = runtime.store.generation();
    }
}

bool run_goto(Runtime& runtime, std::string_view rest)
{
    DecodedLine* decoded = nullptr;
    if (int target = remembered_jump(runtime, rest, decoded); target > 0) {
        runtime.current_line = target;
        return true;
    }
    std::string name;
    if (!read_label_name(runtime, rest, name) || !jump_to_label(runtime, name))
        return false;
    remember_jump(runtime, decoded, rest, runtime.current_line);
    return true;
}

bool run_call(Runtime& runtime, std::string_view rest)
{
    DecodedLine* decoded = nullptr;
    int target = remembered_jump(runtime, rest, decoded);
    std::string name;
    if (target == 0 && !read_label_name(runtime, rest, name))
        return false;
    if (runtime.call_depth >= max_call_depth) {
        write_message_line(runtime, "Muitas chamadas sem retorno");
        return fail_because(runtime, FailureReason::CallsTooDeep);
    }
    runtime.call_stack[runtime.call_depth++] = runtime.current_line;
    if (target > 0) {
        runtime.current_line = target;
        return true;
    }
    if (!jump_to_label(runtime, name))
        return false;
    remember_jump(runtime, decoded, rest, runtime.current_line);
    return true;
}

bool run_return(Runtime& runtime, std::string_view rest)
{
    if (!rest.empty())
        return fail_because(runtime, FailureReason::ExtraText);
    if (runtime.call_depth == 0) {
        write_message_line(runtime, "Retorno sem chamada");
        return fail_because(runtime, FailureReason::ReturnWithoutCall);
    }
    runtime.current_line = runtime.call_stack[--runtime.call_depth];
    return true;
}

bool run_stop(Runtime& runtime, std::string_view rest)
{
    runtime.stop_requested = true;
    runtime.silent_end = upper_text(rest) == "MUDO";
    return true;
}

}

void skip_false_if_block(Runtime& runtime) { skip_false_block(runtime); }

Handler own_if_handler() { return run_if; }
Handler own_repeat_handler() { return run_repeat; }
Handler own_end_handler() { return run_end; }
Handler own_else_handler() { return run_else; }

void skip_else_block(Runtime& runtime) { skip_to_end(runtime, "SE", Memo::SkipToEndIf); }

void bind_control_statements(CommandTable& table)
{
    table.bind("SE", run_if);
    table.bind("SENAO", run_else);
    table.bind("SEN\xC3O", run_else);
    table.bind("ENQUANTO", run_while);
    table.bind("REPETE", run_repeat);
    table.bind("FIM", run_end);
    table.bind("DESVIA", run_goto);
    table.bind("CHAMA", run_call);
    table.bind("RETORNA", run_return);
    table.bind("TERMINA", run_stop);
}

}
