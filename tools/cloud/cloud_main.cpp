// SPDX-License-Identifier: GPL-3.0-or-later
// One program for the whole service: what it does follows from the name it
// is started under (megacmdserver, megaclient, mega-ls, ...).
#include "cloud_programs.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::error_code error;
    // The folder of this very file, links resolved: the data folder is found
    // from it.
    auto self = fs::read_symlink("/proc/self/exe", error);
    auto program_folder = error ? fs::absolute(argv[0], error).parent_path() : self.parent_path();
    auto name = fs::path(argc > 0 ? argv[0] : "").filename().string();
    switch (cloud::program_kind(name)) {
    case cloud::ProgramKind::Server:
        return cloud::run_server(arguments, program_folder);
    case cloud::ProgramKind::Client:
        return cloud::run_client(cloud::parse_client_call(arguments), program_folder);
    case cloud::ProgramKind::Wrapper: {
        auto lower = name.substr(5);
        if (lower.size() > 4 && (lower.ends_with(".exe") || lower.ends_with(".EXE")))
            lower.resize(lower.size() - 4);
        cloud::ClientCall call;
        call.words.push_back(lower);
        call.words.insert(call.words.end(), arguments.begin(), arguments.end());
        return cloud::run_client(call, program_folder);
    }
    case cloud::ProgramKind::Unknown:
        break;
    }
    std::fprintf(stderr, "%s: start me as megacmdserver, megaclient or mega-COMMAND\n", name.c_str());
    return 2;
}
