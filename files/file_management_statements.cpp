// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on whole files and directories: REMOVE, RENOMEIA, REPLICA, TAMARQ, HTAMARQ, BUSCA, DIR.
#include "files/file_management_statements.h"

#include "files/directory_search.h"
#include "files/file_copy.h"
#include "files/file_paths.h"
#include "files/readable_size.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <cstdio>
#include <optional>
#include <system_error>

// A trailing "&" on REMOVE, RENOMEIA, REPLICA and DIR tolerates the
// operation's failure: no message, and the command succeeds.
namespace files {

using namespace interpreter;
namespace fs = std::filesystem;

namespace {

bool names_directory(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool names_entry(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool run_remove(Runtime& runtime, std::string_view rest)
{
    bool tolerant = take_trailing_ampersand(rest);
    std::string name;
    if (!read_value(runtime, rest, name) || name.empty())
        return false;
    auto path = system_path(runtime, name);
    std::error_code error;
    // A directory is not a file: DIR "REMOVE " is the command for it.
    if (!names_directory(path) && fs::remove(path, error))
        return true;
    if (tolerant)
        return true;
    write_message_line(runtime, "Erro no apagamento do arquivo " + name);
    return false;
}

// Reads the two names of RENOMEIA and REPLICA; nothing may follow them.
bool read_two_names(Runtime& runtime, std::string_view& rest, std::string& first, std::string& second)
{
    return read_value(runtime, rest, first) && read_value(runtime, rest, second) && rest.empty();
}

bool run_rename(Runtime& runtime, std::string_view rest)
{
    bool tolerant = take_trailing_ampersand(rest);
    std::string old_name, new_name;
    if (!read_two_names(runtime, rest, old_name, new_name))
        return false;
    auto old_path = system_path(runtime, old_name);
    auto new_path = system_path(runtime, new_name);
    std::error_code error;
    bool renamed = false;
    if (names_entry(old_path) && !old_path.empty() && !new_path.empty()) {
        // A rename never replaces another file, as on the system scripts
        // were written for; renaming a file onto itself changes nothing.
        if (!names_entry(new_path)) {
            fs::rename(old_path, new_path, error);
            renamed = !error;
        } else {
            renamed = fs::equivalent(old_path, new_path, error) && !error;
        }
    }
    return renamed || tolerant;
}

bool run_copy(Runtime& runtime, std::string_view rest)
{
    bool tolerant = take_trailing_ampersand(rest);
    std::string source, destination;
    if (!read_two_names(runtime, rest, source, destination))
        return false;
    auto outcome = copy_file_in_pieces(system_path(runtime, source), system_path(runtime, destination));
    if (outcome == CopyOutcome::copied || tolerant)
        return true;
    if (outcome == CopyOutcome::read_failed)
        write_message_line(runtime, "Erro no processamento de arquivo " + source);
    else if (outcome == CopyOutcome::write_failed)
        write_message_line(runtime, "Erro na escrita de arquivo " + destination);
    return false;
}

// The size of a file that can be opened; directories and unreadable files
// have none.
std::optional<uint64_t> file_size_of(Runtime& runtime, std::string_view& rest, std::optional<int>& target)
{
    std::string name;
    if (!read_value(runtime, rest, name))
        return std::nullopt;
    target = read_target(runtime, rest);
    if (!target)
        return std::nullopt;
    auto path = system_path(runtime, name);
    if (name.empty() || names_directory(path))
        return std::nullopt;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::fclose(file);
    std::error_code error;
    auto size = fs::file_size(path, error);
    if (error)
        return std::nullopt;
    return size;
}

bool run_file_size(Runtime& runtime, std::string_view rest)
{
    std::optional<int> target;
    auto size = file_size_of(runtime, rest, target);
    if (!size)
        return false;
    runtime.variables.set(*target, std::to_string(*size));
    return true;
}

bool run_readable_file_size(Runtime& runtime, std::string_view rest)
{
    std::optional<int> target;
    auto size = file_size_of(runtime, rest, target);
    if (!size)
        return false;
    runtime.variables.set(*target, format_readable_size(*size, locale_decimal_separator()));
    return true;
}

// Splits a search pattern into its folder and the name pattern after the
// last separator.
std::string start_search(Runtime& runtime, DirectorySearch& search, std::string_view pattern, DirectorySearch::Kind kind)
{
    size_t separator = pattern.find_last_of("\\/");
    std::string_view folder, name = pattern;
    if (separator != std::string_view::npos) {
        folder = pattern.substr(0, separator + 1);
        name = pattern.substr(separator + 1);
    } else if (pattern.size() >= 2 && pattern[1] == ':') {
        folder = pattern.substr(0, 2);
        name = pattern.substr(2);
    }
    if (name.empty()) {
        search.end();
        return {};
    }
    std::string folder_text(folder);
    if (folder_text.size() == 2 && folder_text[1] == ':')
        folder_text += '\\';
    fs::path folder_path = folder_text.empty() ? fs::path(".") : system_path(runtime, folder_text);
    return search.start(folder_path, name, kind);
}

bool run_search(Runtime& runtime, std::string_view rest)
{
    auto* search = runtime.subsystems.directory_search;
    auto target = read_target(runtime, rest);
    if (!target || rest.empty() || !search)
        return false;
    auto kind = DirectorySearch::Kind::files;
    if (starts_with_upper(rest, "DIR")) {
        kind = DirectorySearch::Kind::directories;
        rest = trim(rest.substr(std::min<size_t>(4, rest.size())));
    }
    if (starts_with_upper(rest, "FIM")) {
        search->end();
        return true;
    }
    std::string found;
    if (starts_with_upper(rest, "PR\xD3XIMO") || starts_with_upper(rest, "PROXIMO")) {
        rest = trim(rest.substr(7));
        if (!rest.empty())
            return false;
        found = search->next();
    } else if (!rest.empty()) {
        std::string pattern;
        if (!read_value(runtime, rest, pattern) || !rest.empty())
            return false;
        found = start_search(runtime, *search, pattern, kind);
    } else {
        std::error_code error;
        auto current = fs::current_path(error);
        if (!error)
            found = windows_path(runtime, current);
    }
    runtime.variables.set(*target, trim(found));
    return true;
}

enum class DirectoryOperation {
    create,
    remove,
    change,
};

bool apply_directory_operation(DirectoryOperation operation, const fs::path& path)
{
    std::error_code error;
    switch (operation) {
    case DirectoryOperation::create:
        return !path.empty() && fs::create_directory(path, error) && !error;
    case DirectoryOperation::remove:
        return names_directory(path) && fs::remove(path, error) && !error;
    case DirectoryOperation::change:
        if (!names_directory(path))
            return false;
        fs::current_path(path, error);
        return !error;
    }
    return false;
}

bool run_directory(Runtime& runtime, std::string_view rest)
{
    bool tolerant = take_trailing_ampersand(rest);
    DirectoryOperation operation;
    if (starts_with_upper(rest, "CRIA "))
        operation = DirectoryOperation::create;
    else if (starts_with_upper(rest, "REMOVE "))
        operation = DirectoryOperation::remove;
    else if (starts_with_upper(rest, "TROCA "))
        operation = DirectoryOperation::change;
    else
        return false;
    rest.remove_prefix(rest.find(' '));
    std::string name;
    if (!read_value(runtime, rest, name) || !rest.empty())
        return false;
    if (apply_directory_operation(operation, system_path(runtime, name)) || tolerant)
        return true;
    write_message_line(runtime, "Erro no processamento do diret\xF3rio " + name);
    return false;
}

}

void bind_file_management_statements(CommandTable& table)
{
    table.bind("REMOVE", run_remove);
    table.bind("RENOMEIA", run_rename);
    table.bind("REPLICA", run_copy);
    table.bind("TAMARQ", run_file_size);
    table.bind("HTAMARQ", run_readable_file_size);
    table.bind("BUSCA", run_search);
    table.bind("DIR", run_directory);
}

}
