// SPDX-License-Identifier: GPL-3.0-or-later
// The script host: start-up, one run of the stored script, and the end report.
#include "app/script_host.h"

#include "desktop/desktop_statements.h"
#include "files/binary_statements.h"
#include "console/console_statements.h"
#include "encoding/encoding_statements.h"
#include "files/file_management_statements.h"
#include "files/file_statements.h"
#include "interpreter/list_statements.h"
#include "console/menu_statements.h"
#include "console/typed_line.h"
#include "interpreter/number.h"
#include "interpreter/run_loop.h"
#include "interpreter/statement_decoder.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"
#include "speech/speech_statements.h"
#include "media/media_statements.h"
#include "net/network_statements.h"
#include "system/system_statements.h"

namespace app {

void bind_all_statements(interpreter::CommandTable& table)
{
    interpreter::bind_interpreter_statements(table);
    console::bind_console_statements(table);
    interpreter::bind_list_statements(table);
    console::bind_menu_statements(table);
    net::bind_network_statements(table);
    files::bind_file_statements(table);
    files::bind_binary_statements(table);
    files::bind_file_management_statements(table);
    encoding::bind_encoding_statements(table);
    speech::bind_speech_statements(table);
    media::bind_media_statements(table);
    sys::bind_system_statements(table);
    desktop::bind_desktop_statements(table);
}

interpreter::FailureReason reason_for_failure(const interpreter::Runtime& runtime, std::string_view line)
{
    if (runtime.failure_reason != interpreter::FailureReason::None)
        return runtime.failure_reason;
    auto decoded = interpreter::decode_statement(runtime.commands, line);
    if (decoded.problem != interpreter::FailureReason::None)
        return decoded.problem;
    return interpreter::FailureReason::CommandFailed;
}

int run_stored_script(interpreter::Runtime& runtime, console::Console& console, const std::vector<std::string>& lines,
    FailureReport* report)
{
    // An end asked for at start (the voice missing, the keys run out
    // during the greeting) runs nothing; one asked for during the run
    // reports nothing of it: the program ends with its status.
    auto& loop = console.loop();
    if (loop.end_requested())
        return loop.end_status();
    int number = 0;
    for (const auto& line : lines)
        runtime.store.store_line(line, ++number);
    auto outcome = interpreter::run_script(runtime);
    if (loop.end_requested())
        return loop.end_status();
    if (!outcome.failed) {
        if (!runtime.silent_end)
            runtime.speech.speak_text("Fim do script");
        return exit_normal;
    }
    if (console.window_state() == platform::WindowState::Minimised)
        console.set_window_state(platform::WindowState::Normal);
    runtime.speech.speak_text("Erro de execu\xE7\xE3o na linha ");
    std::string line_number = interpreter::format_number(outcome.line);
    runtime.terminal.write_text(line_number);
    runtime.speech.speak_text(line_number);
    // What the user needs to mend the script: why, and the line itself.
    std::string_view line_text;
    if (outcome.line >= 1 && outcome.line <= static_cast<int>(lines.size()))
        line_text = interpreter::trim(lines[static_cast<size_t>(outcome.line - 1)]);
    auto reason = reason_for_failure(runtime, line_text);
    std::string reason_text(interpreter::failure_text(reason));
    runtime.terminal.write_text(": " + reason_text);
    runtime.speech.speak_text(reason_text);
    runtime.terminal.end_line();
    if (!line_text.empty()) {
        runtime.terminal.write_text(line_text);
        runtime.speech.speak_text(line_text);
        runtime.terminal.end_line();
    }
    if (report)
        *report = { outcome.line, reason };
    // The user acknowledges the failure with Enter, so that the message is
    // not lost when the window closes; scripted keys that ran out do not wait.
    if (console.keys_may_come()) {
        runtime.terminal.write_text("Tecle Enter");
        runtime.speech.speak_text("Tecle Enter");
        runtime.terminal.end_line();
        console::read_typed_line(runtime.terminal, runtime.stop_requested);
        if (loop.end_requested())
            return loop.end_status();
    }
    return exit_statement_failed;
}

}
