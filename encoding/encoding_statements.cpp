// SPDX-License-Identifier: GPL-3.0-or-later
// The encoding commands: UTF-8, Base64 and quoted-printable conversions of variables and files.
#include "encoding/encoding_statements.h"

#include "encoding/ansi_conversion.h"
#include "encoding/base64.h"
#include "files/file_paths.h"
#include "encoding/quoted_printable.h"
#include "files/replacing_file.h"
#include "interpreter/argument_readers.h"
#include "interpreter/command_table.h"
#include "interpreter/runtime.h"
#include "base/text_encoding.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace encoding {

using namespace interpreter;

namespace {

using Conversion = std::string (*)(std::string_view);

// The in-place form: the operand is read as a value and then again as the
// variable that receives the result, so a literal fails with nothing stored.
bool convert_variable(Runtime& runtime, std::string_view rest, Conversion convert)
{
    std::string_view operand = rest;
    std::string value;
    if (!read_value(runtime, operand, value))
        return false;
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    runtime.variables.set(*target, convert(value));
    return true;
}

std::string windows1252_to_utf8(std::string_view text) { return base::windows1252_to_utf8(text); }

bool run_utf8_to_ansi(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, fold_two_byte_utf8); }
bool run_ansi_to_utf8(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, windows1252_to_utf8); }
bool run_encode_base64(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, encode_base64); }
bool run_decode_base64(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, decode_base64); }
bool run_remove_quoted(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, remove_quoted); }
bool run_add_quoted(Runtime& runtime, std::string_view rest) { return convert_variable(runtime, rest, add_quoted); }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Files are converted block by block, so that their size never matters.
constexpr size_t block_size = 48 * 1024;

FileHandle open_source(const std::filesystem::path& path)
{
    std::error_code error;
    // Only regular files: a device such as /dev/zero would never end.
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return nullptr;
    return FileHandle(std::fopen(path.c_str(), "rb"));
}

// Reads the source in blocks, hands each to `convert`, and writes what it
// produced; the destination is replaced only when all of it was written.
template<typename Convert, typename Finish>
bool convert_file(Runtime& runtime, std::string_view rest, Convert convert, Finish finish)
{
    std::string source_name, destination_name;
    if (!read_value(runtime, rest, source_name) || !read_value(runtime, rest, destination_name))
        return false;
    auto source = open_source(files::system_path(runtime, source_name));
    if (!source)
        return false;
    auto destination = files::ReplacingFile::create(files::system_path(runtime, destination_name));
    if (!destination)
        return false;
    std::vector<char> block(block_size);
    std::string converted;
    for (;;) {
        size_t read = std::fread(block.data(), 1, block.size(), source.get());
        if (std::ferror(source.get()))
            return false;
        if (read == 0)
            break;
        converted.clear();
        convert(std::string_view(block.data(), read), converted);
        if (!destination->write(converted))
            return false;
    }
    converted.clear();
    finish(converted);
    return destination->write(converted) && destination->commit();
}

bool run_encode_file_base64(Runtime& runtime, std::string_view rest)
{
    Base64LineEncoder encoder;
    return convert_file(
        runtime, rest, [&](std::string_view bytes, std::string& out) { encoder.feed(bytes, out); },
        [&](std::string& out) { encoder.finish(out); });
}

bool run_decode_file_base64(Runtime& runtime, std::string_view rest)
{
    Base64Decoder decoder;
    return convert_file(
        runtime, rest, [&](std::string_view text, std::string& out) { decoder.feed(text, out); },
        [&](std::string& out) { decoder.finish(out); });
}

}

void bind_encoding_statements(CommandTable& table)
{
    table.bind("UTF8PARAANSI", run_utf8_to_ansi);
    table.bind("ANSIPARAUTF8", run_ansi_to_utf8);
    table.bind("CODBASE64", run_encode_base64);
    table.bind("DECODBASE64", run_decode_base64);
    table.bind("REMOVEQUOTED", run_remove_quoted);
    table.bind("ADQUOTED", run_add_quoted);
    table.bind("CODARQBASE64", run_encode_file_base64);
    table.bind("DECODARQBASE64", run_decode_file_base64);
}

}
