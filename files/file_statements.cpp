// SPDX-License-Identifier: GPL-3.0-or-later
// The channel commands of text files: ABRE, FECHA, CHECA and the channel forms of ESCREVE and LE.
#include "files/file_statements.h"

#include "files/channel_table.h"
#include "files/file_channel_stream.h"
#include "files/file_paths.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

namespace files {

using namespace interpreter;

namespace {

// The I/O status values of a file channel, those of the Pascal file layer
// scripts were written against; any value but 0 is an error to them.
constexpr int status_read_error = 100;
constexpr int status_write_error = 101;
// Connections report a failed send or a missing line as 1.
constexpr int status_connection_failed = 1;
constexpr int status_end_of_input = 1;

ChannelStream* open_stream(Runtime& runtime, int channel)
{
    auto* channels = runtime.subsystems.channels;
    return channels ? channels->stream(channel) : nullptr;
}

bool run_open(Runtime& runtime, std::string_view rest)
{
    bool append = take_trailing_ampersand(rest);
    std::string name;
    auto channel = read_channel(rest);
    bool has_name = channel && read_value(runtime, rest, name) && !name.empty();
    auto* channels = runtime.subsystems.channels;
    if (has_name && channels) {
        auto path = system_path(runtime, name);
        std::unique_ptr<ChannelStream> stream = append ? FileChannelStream::open_for_appending(path)
                                                       : FileChannelStream::open_for_reading(path);
        if (stream) {
            channels->open(*channel, std::move(stream));
            return true;
        }
    }
    write_message_line(runtime, "Erro na abertura do arquivo " + name);
    return false;
}

bool run_close(Runtime& runtime, std::string_view rest)
{
    auto channel = read_channel(rest);
    auto* channels = runtime.subsystems.channels;
    if (!channel || !channels || !channels->close(*channel)) {
        write_message_line(runtime, "Erro no fechamento do arquivo");
        return false;
    }
    return true;
}

bool run_check(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target || !rest.empty())
        return false;
    runtime.variables.set(*target, format_number(runtime.io_status));
    return true;
}

}

bool write_to_channel(Runtime& runtime, std::string_view rest, bool line_end)
{
    // Only the character after "#" names the channel; what follows it is
    // already the first value.
    if (rest.size() < 2 || rest[0] != '#' || !is_digit(rest[1])) {
        write_message_line(runtime, "Erro no processamento de arquivo");
        return false;
    }
    int channel = rest[1] - '0';
    rest.remove_prefix(2);
    std::string text, value;
    while (read_value(runtime, rest, value))
        text += value;
    auto* stream = open_stream(runtime, channel);
    if (!stream) {
        write_message_line(runtime, "Erro no processamento de arquivo");
        return rest.empty();
    }
    if (line_end)
        text += "\r\n";
    if (!stream->write(text))
        runtime.io_status = stream->kind() == ChannelKind::file ? status_write_error : status_connection_failed;
    else
        runtime.io_status = 0;
    return rest.empty();
}

bool read_from_channel(Runtime& runtime, std::string_view rest)
{
    auto channel = read_channel(rest);
    if (!channel || trim(rest).empty()) {
        write_message_line(runtime, "Erro no processamento de arquivo");
        return false;
    }
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    auto* stream = open_stream(runtime, *channel);
    if (!stream)
        return false;
    std::string& line = runtime.variables.writable_text(*target);
    switch (stream->read_line(line)) {
    case LineReadStatus::line:
        runtime.io_status = 0;
        break;
    case LineReadStatus::end_of_input:
        runtime.io_status = status_end_of_input;
        if (stream->kind() == ChannelKind::file)
            line.clear();
        break;
    case LineReadStatus::error:
        runtime.io_status = stream->kind() == ChannelKind::file ? status_read_error : status_connection_failed;
        break;
    }
    return true;
}

void bind_file_statements(CommandTable& table)
{
    table.bind("ABRE", run_open);
    table.bind("FECHA", run_close);
    table.bind("CHECA", run_check);
}

}
