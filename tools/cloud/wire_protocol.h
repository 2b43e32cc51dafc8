// SPDX-License-Identifier: GPL-3.0-or-later
// The messages between the service's programs and its server, over a Unix
// socket in the data folder.
//
// The client sends one request: a count and that many texts (the command's
// words, then the client's folder), each a 4-byte length and its bytes. The
// server answers with frames: a kind byte, a 4-byte length and the bytes:
// 'P' a progress line, 'A' the answer, 'S' the exit status in decimal.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cloud {

constexpr uint32_t max_request_texts = 4096;
constexpr uint32_t max_text_bytes = 1 << 20;

// Writes everything or fails (a peer that has gone away included).
bool write_all(int fd, std::string_view bytes);
bool read_exactly(int fd, char* buffer, size_t size);

std::string encode_request(const std::vector<std::string>& texts);
// Reads one request; nothing when it is cut short or over the limits.
std::optional<std::vector<std::string>> read_request(int fd);

std::string encode_frame(char kind, std::string_view bytes);
struct Frame {
    char kind;
    std::string bytes;
};
std::optional<Frame> read_frame(int fd);

// The socket of the server for a data folder.
std::filesystem::path socket_path(const std::filesystem::path& data_folder);
// A connected or bound socket, or -1. Paths too long for a socket address
// are reached through the folder's descriptor.
int connect_socket(const std::filesystem::path& path);
int listen_socket(const std::filesystem::path& path);

}
