// SPDX-License-Identifier: GPL-3.0-or-later
// The service's programs: the server, the client that runs one command into
// a result file, and the "mega-" commands that print their answer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cloud {

// Which program a file name asks for ("megaclient", "mega-ls.exe", ...).
enum class ProgramKind {
    Server,
    Client,
    Wrapper,
    Unknown,
};
ProgramKind program_kind(std::string_view file_name);

// "1M" = 1048576, "500K", "2048"; nothing for anything else.
std::optional<uint64_t> parse_rate(std::string_view text);

// The data folder: $NUBRADO_CLOUD_DATA, else "cloud-data" beside the folder
// of the program itself (<drive C>/nubrado/cloud-data for
// <drive C>/nubrado/megacmd/megaclient).
std::filesystem::path data_folder_for(const std::filesystem::path& program_folder);

// "megaclient CMD ARGS... -o RESULTFILE": the command and its words, and the
// result file when the last two words are "-o" and a file.
struct ClientCall {
    std::vector<std::string> words;
    std::optional<std::string> result_file;
};
ClientCall parse_client_call(const std::vector<std::string>& arguments);

int run_server(const std::vector<std::string>& arguments, const std::filesystem::path& program_folder);
int run_client(const ClientCall& call, const std::filesystem::path& program_folder);

}
