// SPDX-License-Identifier: GPL-3.0-or-later
// nubrado's carried script: the build step that embeds it, and its labels.
#include "app/embedded_script.h"
#include "app/script_embedding.h"
#include "app/script_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::string upper(std::string text)
{
    for (auto& c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || byte >= 224)
            c = static_cast<char>(byte - 32);
    }
    return text;
}

std::string trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return "";
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

TEST(ScriptEmbedding, NubradoCarriesExactlyItsScriptFile)
{
    auto file = app::read_script_file(NUBRADO_SCRIPT);
    ASSERT_TRUE(file) << file.error().message;
    auto carried = app::embedded_script_lines();
    ASSERT_EQ(carried.size(), file->size());
    for (size_t i = 0; i < carried.size(); ++i)
        EXPECT_EQ(carried[i], (*file)[i]) << "line " << i + 1;
}

TEST(ScriptEmbedding, EscapesQuotesBackslashesAndHighBytes)
{
    std::string source = app::embedded_script_source({ "a\"b\\c", "\xE9" "abc", "?\?=", "" }, "x.cor");
    EXPECT_NE(source.find("std::string_view, 4> lines"), std::string::npos);
    EXPECT_NE(source.find(R"("a\"b\\c",)"), std::string::npos);
    // A high byte is three octal digits, so a following letter that is a
    // hex digit stays a letter.
    EXPECT_NE(source.find(R"("\351abc",)"), std::string::npos);
    EXPECT_NE(source.find(R"("\?\?=",)"), std::string::npos);
    EXPECT_NE(source.find("    \"\",\n"), std::string::npos);
    EXPECT_NE(source.find("from x.cor"), std::string::npos);
}

// Every jump and call of the script reaches exactly one label: a missing
// one would end the run at the key that leads there.
TEST(ScriptEmbedding, EveryJumpOfTheScriptFindsOneLabel)
{
    std::map<std::string, int> labels;
    for (auto line : app::embedded_script_lines())
        if (!line.empty() && line[0] == '@')
            ++labels[upper(std::string(line.substr(1)))];
    for (const auto& [name, count] : labels)
        EXPECT_EQ(count, 1) << "label @" << name << " is defined " << count << " times";

    size_t jumps = 0;
    for (auto view : app::embedded_script_lines()) {
        std::string line = upper(std::string(view));
        for (std::string keyword : { "DESVIA @", "CHAMA @" }) {
            size_t at = line.find(keyword);
            if (at == std::string::npos)
                continue;
            std::string target = trimmed(line.substr(at + keyword.size()));
            ++jumps;
            EXPECT_EQ(labels.count(target), 1u) << "no label for: " << view;
        }
    }
    EXPECT_GT(jumps, 100u);
}

// LE takes "TECLA " anywhere in its line as the request for the shift
// prefix, so a variable whose name ends in "tecla" would change what a key
// reads as.
TEST(ScriptEmbedding, NoInputLineAsksForTheShiftPrefixByAccident)
{
    for (auto view : app::embedded_script_lines()) {
        std::string line = upper(trimmed(std::string(view)));
        if (line.rfind("LE ", 0) == 0) {
            EXPECT_EQ(line.find("TECLA "), std::string::npos) << view;
        }
    }
}

}
