// SPDX-License-Identifier: GPL-3.0-or-later
// The messages between the service's programs and its server.
#include "wire_protocol.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace cloud {

namespace {

void append_length(std::string& out, uint32_t length)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((length >> shift) & 0xff);
}

std::optional<uint32_t> read_length(int fd)
{
    unsigned char bytes[4];
    if (!read_exactly(fd, reinterpret_cast<char*>(bytes), 4))
        return std::nullopt;
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

// Runs `use` with an address for `path`: the path itself when it fits,
// else "/proc/self/fd/N/name" through a descriptor of its folder.
template<typename Use>
int with_address(const std::filesystem::path& path, Use use)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::string text = path.string();
    int folder = -1;
    if (text.size() >= sizeof address.sun_path) {
        folder = open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            return -1;
        text = "/proc/self/fd/" + std::to_string(folder) + "/" + path.filename().string();
        if (text.size() >= sizeof address.sun_path) {
            close(folder);
            return -1;
        }
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && !use(fd, address)) {
        close(fd);
        fd = -1;
    }
    if (folder >= 0)
        close(folder);
    return fd;
}

}

bool write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        auto sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool read_exactly(int fd, char* buffer, size_t size)
{
    while (size > 0) {
        auto got = read(fd, buffer, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

std::string encode_request(const std::vector<std::string>& texts)
{
    std::string out;
    append_length(out, static_cast<uint32_t>(texts.size()));
    for (auto& text : texts) {
        append_length(out, static_cast<uint32_t>(text.size()));
        out += text;
    }
    return out;
}

std::optional<std::vector<std::string>> read_request(int fd)
{
    auto count = read_length(fd);
    if (!count || *count > max_request_texts)
        return std::nullopt;
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < *count; ++i) {
        auto length = read_length(fd);
        if (!length || *length > max_text_bytes)
            return std::nullopt;
        std::string text(*length, '\0');
        if (!read_exactly(fd, text.data(), text.size()))
            return std::nullopt;
        texts.push_back(std::move(text));
    }
    return texts;
}

std::string encode_frame(char kind, std::string_view bytes)
{
    std::string out(1, kind);
    append_length(out, static_cast<uint32_t>(bytes.size()));
    out += bytes;
    return out;
}

std::optional<Frame> read_frame(int fd)
{
    char kind;
    if (!read_exactly(fd, &kind, 1))
        return std::nullopt;
    auto length = read_length(fd);
    if (!length || *length > 64 * max_text_bytes)
        return std::nullopt;
    Frame frame { kind, std::string(*length, '\0') };
    if (!read_exactly(fd, frame.bytes.data(), frame.bytes.size()))
        return std::nullopt;
    return frame;
}

std::filesystem::path socket_path(const std::filesystem::path& data_folder) { return data_folder / "megacmd.socket"; }

int connect_socket(const std::filesystem::path& path)
{
    return with_address(path, [](int fd, const sockaddr_un& address) {
        return connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    });
}

int listen_socket(const std::filesystem::path& path)
{
    return with_address(path, [](int fd, const sockaddr_un& address) {
        return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && listen(fd, 16) == 0;
    });
}

}
