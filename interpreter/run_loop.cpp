// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop: executing stored lines one at a time, and dispatching statements.
#include "interpreter/run_loop.h"

#include "interpreter/messages.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

namespace interpreter {

namespace {

// Keywords longer than this are in no table; they are still reported whole.
constexpr size_t keyword_buffer_size = 32;

// The statements that cannot stand in a one-line SE or in CMD, compared
// after full normalisation ("senão" in lower case is refused as well).
bool is_block_keyword(std::string_view keyword)
{
    std::string upper_keyword = upper_text(keyword);
    return upper_keyword == "REPETE" || upper_keyword == "ENQUANTO" || upper_keyword == "SENAO"
        || upper_keyword == "SEN\xC3O" || upper_keyword == "FIM";
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
    runtime.host.pause_ms(1);
    auto now = runtime.host.local_time();
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
    while (runtime.current_line <= runtime.store.line_count() && !runtime.stop_requested && !runtime.run_failed) {
        execute_line(runtime, runtime.store.line(runtime.current_line), false);
        if (!runtime.stop_requested && !runtime.run_failed)
            ++runtime.current_line;
    }
    runtime.store.clear();
    return { runtime.run_failed, runtime.current_line };
}

bool execute_line(Runtime& runtime, std::string_view text, bool nested)
{
    text = trim(text);
    if (text.empty() || text[0] == '*' || text[0] == '@')
        return true;

    size_t space = text.find(' ');
    std::string_view keyword = text.substr(0, space);
    std::string_view rest = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);

    // The keyword as split has only a..z upper-cased; the dispatcher finishes
    // the normalisation. Keywords longer than the buffer are in no table and
    // are reported whole from the text.
    char buffer[keyword_buffer_size];
    std::string long_keyword;
    if (keyword.size() <= keyword_buffer_size) {
        for (size_t i = 0; i < keyword.size(); ++i) {
            char c = keyword[i];
            buffer[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        keyword = std::string_view(buffer, keyword.size());
    } else {
        long_keyword.assign(keyword);
        for (char& c : long_keyword) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        }
        keyword = long_keyword;
    }

    if (nested && is_block_keyword(keyword))
        return false;
    bool succeeded = execute_statement(runtime, keyword, rest);
    runtime.run_failed = !succeeded;
    return succeeded;
}

bool execute_statement(Runtime& runtime, std::string_view keyword, std::string_view rest)
{
    rest = trim(rest);
    if (runtime.debug_echo) {
        std::string echo(keyword);
        echo += ' ';
        echo += rest;
        write_message_line(runtime, echo);
    }
    const CommandEntry* entry = nullptr;
    if (keyword.size() <= keyword_buffer_size) {
        char buffer[keyword_buffer_size];
        for (size_t i = 0; i < keyword.size(); ++i)
            buffer[i] = upper_byte(keyword[i]);
        entry = runtime.commands.find(std::string_view(buffer, keyword.size()));
    }
    if (!entry) {
        write_message_line(runtime, "Comando inv\xE1lido: " + upper_text(keyword));
        return false;
    }
    runtime.current_keyword = entry->keyword;
    return entry->handler(runtime, entry->passes_rest ? rest : std::string_view());
}

}
