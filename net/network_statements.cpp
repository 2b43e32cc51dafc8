// SPDX-License-Identifier: GPL-3.0-or-later
// The network commands of scripts: INTERNET, CONECTA, ATIVASSL, SERVE, OBSERVA, IP, HTTP, TRAZDAREDE.
#include "net/network_statements.h"

#include "files/channel_table.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/host.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "net/connection_stream.h"
#include "net/http_download.h"
#include "net/network_state.h"
#include "platform/path_map.h"

namespace net {

using interpreter::Runtime;

namespace {

constexpr std::string_view port_error = "Erro na porta TCP/IP";
constexpr std::string_view connection_error = "Erro de conexao";
constexpr uint8_t key_escape = 27;

std::optional<uint16_t> port_value(std::string_view text)
{
    auto number = interpreter::parse_number(text);
    if (!number || *number < 0 || *number > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(*number);
}

void open_channel(Runtime& runtime, int channel, std::unique_ptr<Connection> connection)
{
    if (runtime.subsystems.channels)
        runtime.subsystems.channels->open(channel, std::make_unique<ConnectionStream>(runtime, std::move(connection)));
}

ConnectionStream* connection_stream(Runtime& runtime, int channel)
{
    if (!runtime.subsystems.channels)
        return nullptr;
    auto* stream = runtime.subsystems.channels->stream(channel);
    if (!stream || stream->kind() != files::ChannelKind::connection)
        return nullptr;
    return static_cast<ConnectionStream*>(stream);
}

bool run_internet(Runtime& runtime, std::string_view rest)
{
    auto word = interpreter::upper_text(rest);
    if (word == "INICIA")
        network_state(runtime).library_started = true;
    else if (word == "TERMINA")
        network_state(runtime).library_started = false;
    else
        return false;
    return true;
}

bool run_connect(Runtime& runtime, std::string_view rest)
{
    auto& state = network_state(runtime);
    rest = interpreter::trim(rest);
    if (interpreter::starts_with_upper(rest, "SSL ")) {
        state.tls_for_connect = true;
        rest.remove_prefix(4);
    }
    bool tolerant = interpreter::take_trailing_ampersand(rest);
    auto fail_connection = [&] {
        if (tolerant) {
            runtime.io_status = 1;
            return true;
        }
        interpreter::write_message_line(runtime, connection_error);
        return false;
    };
    auto channel = interpreter::read_channel(rest);
    std::string host;
    std::string port_text;
    if (!channel || !interpreter::read_value(runtime, rest, host) || !interpreter::read_value(runtime, rest, port_text))
        return fail_connection();
    state.last_host = host;
    state.last_port = port_text;
    auto port = port_value(port_text);
    if (!port) {
        if (tolerant) {
            runtime.io_status = 2;
            return true;
        }
        interpreter::write_message_line(runtime, port_error);
        return false;
    }
    auto connection = state.open_connection(runtime, host, *port, state.tls_for_connect);
    if (!connection)
        return fail_connection();
    open_channel(runtime, *channel, std::move(connection));
    if (tolerant)
        runtime.io_status = 0;
    return true;
}

bool run_activate_tls(Runtime& runtime, std::string_view rest)
{
    auto channel = interpreter::read_channel(rest);
    if (!channel)
        return false;
    auto& state = network_state(runtime);
    std::unique_ptr<Connection> connection;
    if (auto port = port_value(state.last_port))
        connection = state.open_connection(runtime, state.last_host, *port, true);
    // As with the socket that failed to open, the channel stays in use; its
    // reads and writes then fail with their I/O status.
    open_channel(runtime, *channel, std::move(connection));
    return true;
}

bool run_serve(Runtime& runtime, std::string_view rest)
{
    auto channel = interpreter::read_channel(rest);
    std::string port_text;
    if (!channel || !interpreter::read_value(runtime, rest, port_text)) {
        interpreter::write_message_line(runtime, connection_error);
        return false;
    }
    auto port = port_value(port_text);
    if (!port) {
        interpreter::write_message_line(runtime, port_error);
        return false;
    }
    auto& state = network_state(runtime);
    auto listener = state.network().listen(*port);
    if (!listener) {
        interpreter::write_message_line(runtime, connection_error);
        return false;
    }
    // The wait for a client has no limit, but the events keep flowing and Esc
    // gives up; other keys pressed meanwhile are dropped.
    auto poll_us = std::max<int64_t>(state.options(runtime).poll_timeout_us, 1000);
    std::unique_ptr<platform::TcpSocket> accepted;
    for (;;) {
        auto result = (*listener)->accept(poll_us);
        if (!result)
            break;
        if (*result) {
            accepted = std::move(*result);
            break;
        }
        runtime.host.pause_ms(0);
        if (runtime.host.key_waiting()) {
            uint8_t key = runtime.host.read_key();
            if (key == 0)
                runtime.host.read_key();
            else if (key == key_escape)
                break;
        }
    }
    listener->reset();
    if (!accepted) {
        interpreter::write_message_line(runtime, connection_error);
        return false;
    }
    open_channel(runtime, *channel, std::make_unique<Connection>(std::move(accepted), nullptr));
    return true;
}

bool run_observe(Runtime& runtime, std::string_view rest)
{
    rest = interpreter::trim(rest);
    bool keyboard = interpreter::starts_with_upper(rest, "TECLADO ");
    std::optional<int> channel;
    if (keyboard)
        rest.remove_prefix(8);
    else if (!(channel = interpreter::read_channel(rest)))
        return false;
    auto target = interpreter::read_target(runtime, rest);
    if (!target || !interpreter::trim(rest).empty())
        return false;
    bool waiting;
    if (keyboard) {
        waiting = runtime.host.key_waiting();
    } else {
        auto* stream = connection_stream(runtime, *channel);
        waiting = stream && stream->has_waiting_input();
    }
    runtime.variables.set(*target, waiting ? "1" : "0");
    return true;
}

bool run_ip(Runtime& runtime, std::string_view rest)
{
    rest = interpreter::trim(rest);
    bool local;
    if (interpreter::starts_with_upper(rest, "LOCAL ")) {
        local = true;
        rest.remove_prefix(6);
    } else if (interpreter::starts_with_upper(rest, "REMOTO ")) {
        local = false;
        rest.remove_prefix(7);
    } else {
        return false;
    }
    auto channel = interpreter::read_channel(rest);
    if (!channel)
        return false;
    auto target = interpreter::read_target(runtime, rest);
    if (!target)
        return false;
    auto* stream = connection_stream(runtime, *channel);
    if (!stream || !stream->connection())
        return false;
    auto& socket = stream->connection()->socket();
    runtime.variables.set(*target, platform::format_ipv4(local ? socket.local_address() : socket.peer_address()));
    return true;
}

bool run_http(Runtime& runtime, std::string_view rest)
{
    auto target = interpreter::read_target(runtime, rest);
    if (!target)
        return false;
    auto encoded = percent_encode(runtime.variables.text(*target));
    runtime.variables.set(*target, encoded);
    return true;
}

bool run_fetch(Runtime& runtime, std::string_view rest)
{
    DownloadRequest request;
    std::string mode;
    if (!interpreter::read_value(runtime, rest, request.url) || !interpreter::read_value(runtime, rest, request.file_name)
        || !interpreter::read_value(runtime, rest, mode) || !interpreter::read_value(runtime, rest, request.user_agent)
        || !interpreter::read_value(runtime, rest, request.cookie))
        return false;
    auto target = interpreter::read_target(runtime, rest);
    if (!target || (mode != "0" && mode != "1"))
        return false;
    request.click = mode == "1";
    request.system_path = runtime.subsystems.paths ? runtime.subsystems.paths->to_system(request.file_name) : request.file_name;
    bool done = run_download(runtime, request);
    runtime.variables.set(*target, done ? "0" : "1");
    return true;
}

}

std::string percent_encode(std::string_view text)
{
    constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (char c : text) {
        if (interpreter::is_ascii_letter(c) || interpreter::is_digit(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            auto byte = static_cast<uint8_t>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

void bind_network_statements(interpreter::CommandTable& table)
{
    table.bind("INTERNET", run_internet);
    table.bind("CONECTA", run_connect);
    table.bind("ATIVASSL", run_activate_tls);
    table.bind("SERVE", run_serve);
    table.bind("OBSERVA", run_observe);
    table.bind("IP", run_ip);
    table.bind("HTTP", run_http);
    table.bind("TRAZDAREDE", run_fetch);
}

}
