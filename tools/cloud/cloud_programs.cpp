// SPDX-License-Identifier: GPL-3.0-or-later
// The service's programs: server, client and the "mega-" commands.
#include "cloud_programs.h"

#include "cloud_service.h"
#include "wire_protocol.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace cloud {

namespace fs = std::filesystem;

namespace {

// How long a client waits for a server that is still starting.
constexpr int connect_attempts = 50;
constexpr auto connect_pause = std::chrono::milliseconds(100);
// A client has this long to send its request.
constexpr int request_timeout_seconds = 10;

class SocketReply final : public Reply {
public:
    explicit SocketReply(int fd)
        : m_fd(fd)
    {
    }
    bool progress(std::string_view line) override
    {
        m_open = m_open && write_all(m_fd, encode_frame('P', std::string(line) + "\n"));
        return m_open;
    }

private:
    int m_fd;
    bool m_open = true;
};

void serve_connection(CloudService& service, int fd)
{
    timeval timeout { request_timeout_seconds, 0 };
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    auto texts = read_request(fd);
    if (texts && texts->size() >= 2) {
        Request request;
        request.client_folder = texts->back();
        texts->pop_back();
        request.words = std::move(*texts);
        SocketReply reply(fd);
        service.run(request, reply);
        write_all(fd, encode_frame('A', reply.answer)) && write_all(fd, encode_frame('S', std::to_string(reply.status)));
    }
    close(fd);
}

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

bool equals_lower(std::string_view text, std::string_view lower)
{
    return text.size() == lower.size() && lower_ascii(text) == lower;
}

void write_result(const std::string& path, const std::string& answer)
{
    auto temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << answer;
        if (!out) {
            std::fprintf(stderr, "megaclient: cannot write %s\n", path.c_str());
            return;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error)
        std::fprintf(stderr, "megaclient: cannot write %s\n", path.c_str());
}

}

ProgramKind program_kind(std::string_view file_name)
{
    auto name = lower_ascii(file_name);
    if (name.ends_with(".exe"))
        name.resize(name.size() - 4);
    if (name == "megacmdserver")
        return ProgramKind::Server;
    if (name == "megaclient")
        return ProgramKind::Client;
    if (name.starts_with("mega-") && name.size() > 5)
        return ProgramKind::Wrapper;
    return ProgramKind::Unknown;
}

std::optional<uint64_t> parse_rate(std::string_view text)
{
    uint64_t multiplier = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'k'))
        multiplier = 1024;
    else if (!text.empty() && (text.back() == 'M' || text.back() == 'm'))
        multiplier = 1024 * 1024;
    if (multiplier != 1)
        text.remove_suffix(1);
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > (1ull << 40))
        return std::nullopt;
    return value * multiplier;
}

fs::path data_folder_for(const fs::path& program_folder)
{
    if (auto* folder = environment("NUBRADO_CLOUD_DATA"))
        return fs::path(folder);
    return program_folder.parent_path() / "cloud-data";
}

ClientCall parse_client_call(const std::vector<std::string>& arguments)
{
    ClientCall call { arguments, std::nullopt };
    auto size = call.words.size();
    if (size >= 2 && call.words[size - 2] == "-o") {
        call.result_file = call.words[size - 1];
        call.words.resize(size - 2);
    }
    return call;
}

int run_server(const std::vector<std::string>& arguments, const fs::path& program_folder)
{
    ServiceOptions options;
    options.data_folder = data_folder_for(program_folder);
    if (auto* rate = environment("NUBRADO_CLOUD_RATE"))
        options.rate = parse_rate(rate).value_or(0);
    if (auto* drive = environment("NUBRADO_CLOUD_DRIVE_C"))
        options.drive_c = drive;
    int sync_interval_ms = 1000;
    for (auto& argument : arguments) {
        if (argument.starts_with("--data="))
            options.data_folder = argument.substr(7);
        else if (argument.starts_with("--rate="))
            options.rate = parse_rate(argument.substr(7)).value_or(0);
        else if (argument.starts_with("--drive-c="))
            options.drive_c = argument.substr(10);
        else if (argument.starts_with("--sync-interval="))
            sync_interval_ms = std::max(50, std::atoi(argument.c_str() + 16));
    }
    std::error_code error;
    options.data_folder = fs::absolute(options.data_folder, error).lexically_normal();
    if (options.data_folder.filename().empty())
        options.data_folder = options.data_folder.parent_path();
    // <drive C>/nubrado/cloud-data: local paths under drive C are shown as
    // the scripts name them.
    auto nubrado = options.data_folder.parent_path();
    if (options.drive_c.empty() && equals_lower(nubrado.filename().string(), "nubrado"))
        options.drive_c = nubrado.parent_path();
    fs::create_directories(options.data_folder, error);
    if (!options.drive_c.empty())
        options.drive_c = fs::weakly_canonical(options.drive_c, error);

    // One server a data folder. The lock goes with the process however it
    // ends, so a killed server never blocks the next one; one killed just
    // now may still be ending, so the lock is given a moment to come free.
    auto lock_path = options.data_folder / "megacmd.lock";
    int lock = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    bool locked = lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) == 0;
    for (int tries = 0; lock >= 0 && !locked && tries < 50; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        locked = flock(lock, LOCK_EX | LOCK_NB) == 0;
    }
    if (!locked) {
        std::fprintf(stderr, "megacmdserver: already running for %s\n", options.data_folder.c_str());
        return 1;
    }
    auto path = socket_path(options.data_folder);
    fs::remove(path, error); // left by a server that was killed
    int listener = listen_socket(path);
    if (listener < 0) {
        std::fprintf(stderr, "megacmdserver: cannot listen on %s\n", path.c_str());
        return 1;
    }
    std::signal(SIGPIPE, SIG_IGN);
    auto service = std::make_unique<CloudService>(options);
    // The server lives until it is killed; the threads never end before it.
    std::thread([&service = *service, sync_interval_ms] {
        for (;;) {
            service.sync_all();
            std::this_thread::sleep_for(std::chrono::milliseconds(sync_interval_ms));
        }
    }).detach();
    for (;;) {
        int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        std::thread(serve_connection, std::ref(*service), client).detach();
    }
}

int run_client(const ClientCall& call, const fs::path& program_folder)
{
    auto fail = [&](const std::string& message) {
        std::string answer = "[API:err: " + message + "]\n";
        if (call.result_file)
            write_result(*call.result_file, answer);
        else
            std::fputs(answer.c_str(), stdout);
        return 2;
    };
    if (call.words.empty())
        return fail("No command given");
    auto path = socket_path(data_folder_for(program_folder));
    int fd = -1;
    for (int attempt = 0; attempt < connect_attempts && fd < 0; ++attempt) {
        fd = connect_socket(path);
        if (fd < 0)
            std::this_thread::sleep_for(connect_pause);
    }
    if (fd < 0)
        return fail("Unable to connect to the service: megacmdserver is not running");
    std::signal(SIGPIPE, SIG_IGN);
    std::error_code error;
    auto texts = call.words;
    texts.push_back(fs::current_path(error).string());
    if (!write_all(fd, encode_request(texts))) {
        close(fd);
        return fail("The service closed the connection");
    }
    std::string answer;
    std::optional<int> status;
    while (auto frame = read_frame(fd)) {
        if (frame->kind == 'P') {
            std::fwrite(frame->bytes.data(), 1, frame->bytes.size(), stdout);
            std::fflush(stdout);
        } else if (frame->kind == 'A') {
            answer = frame->bytes;
        } else if (frame->kind == 'S') {
            status = std::atoi(frame->bytes.c_str());
        }
    }
    close(fd);
    if (!status)
        return fail("The service closed the connection");
    if (call.result_file)
        write_result(*call.result_file, answer);
    else
        std::fwrite(answer.data(), 1, answer.size(), stdout);
    return *status;
}

}
