// SPDX-License-Identifier: GPL-3.0-or-later
// The binary file commands: CRIABIN, ESCREVEBYTE, LEBYTE, GRAVABYTES, LIMPABYTES, FECHABIN.
#include "files/binary_statements.h"

#include "files/binary_files.h"
#include "files/file_paths.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/runtime.h"

// Every failure here is silent: the run ends at the failing line and the
// host reports it.
namespace files {

using namespace interpreter;

namespace {

bool run_create_binary(Runtime& runtime, std::string_view rest)
{
    auto* binary = runtime.subsystems.binary_files;
    std::string name;
    if (!binary || !read_value(runtime, rest, name))
        return false;
    return binary->create_output(system_path(runtime, name));
}

bool run_write_byte(Runtime& runtime, std::string_view rest)
{
    auto* binary = runtime.subsystems.binary_files;
    std::string value;
    if (!binary || !read_value(runtime, rest, value))
        return false;
    return binary->append(value);
}

bool run_read_byte(Runtime& runtime, std::string_view rest)
{
    auto* binary = runtime.subsystems.binary_files;
    std::string name;
    if (!binary || !read_value(runtime, rest, name))
        return false;
    auto first = read_number_value(runtime, rest);
    if (!first)
        return false;
    auto last = read_number_value(runtime, rest);
    if (!last)
        return false;
    return binary->append_slice(system_path(runtime, name), *first, *last);
}

bool run_write_bytes(Runtime& runtime, std::string_view)
{
    auto* binary = runtime.subsystems.binary_files;
    return binary && binary->write_output();
}

bool run_clear_bytes(Runtime& runtime, std::string_view)
{
    if (auto* binary = runtime.subsystems.binary_files)
        binary->clear();
    return true;
}

bool run_close_binary(Runtime& runtime, std::string_view)
{
    auto* binary = runtime.subsystems.binary_files;
    return binary && binary->close_output();
}

}

void bind_binary_statements(CommandTable& table)
{
    table.bind("CRIABIN", run_create_binary);
    table.bind("ESCREVEBYTE", run_write_byte);
    table.bind("LEBYTE", run_read_byte);
    table.bind("GRAVABYTES", run_write_bytes);
    table.bind("LIMPABYTES", run_clear_bytes);
    table.bind("FECHABIN", run_close_binary);
}

}
