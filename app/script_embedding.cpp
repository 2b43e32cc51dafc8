// SPDX-License-Identifier: GPL-3.0-or-later
// Turning script lines into the C++ source of a constant list of lines.
#include "app/script_embedding.h"

#include <cstdio>

namespace app {

namespace {

// Bytes outside printable ASCII are written in octal: a hex escape would
// swallow a following letter a-f as part of its number, octal stops after
// three digits.
void append_literal(std::string& out, const std::string& line)
{
    out += '"';
    for (unsigned char byte : line) {
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '?') {
            // "??" followed by some characters is a trigraph in older
            // dialects; escaping every "?" keeps any compiler quiet.
            out += "\\?";
        } else if (byte >= 32 && byte < 127) {
            out += static_cast<char>(byte);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            out += escape;
        }
    }
    out += '"';
}

}

std::string embedded_script_source(const std::vector<std::string>& lines, const std::string& origin)
{
    std::string out;
    out += "// SPDX-License-Identifier: GPL-3.0-or-later\n";
    out += "// Made at build time from " + origin + "; edit that file, not this one.\n";
    out += "#include \"app/embedded_script.h\"\n\n#include <array>\n\nnamespace app {\n\nnamespace {\n\n";
    out += "constexpr std::array<std::string_view, " + std::to_string(lines.size()) + "> lines = {\n";
    for (const auto& line : lines) {
        out += "    ";
        append_literal(out, line);
        out += ",\n";
    }
    out += "};\n\n}\n\nstd::span<const std::string_view> embedded_script_lines()\n{\n    return lines;\n}\n\n}\n";
    return out;
}

}
