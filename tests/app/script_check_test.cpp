// SPDX-License-Identifier: GPL-3.0-or-later
// corvante --check: the option, the report per file, the exit status, and the reason of a failed run.
#include "app/options.h"
#include "app/script_check.h"
#include "app/script_file.h"
#include "app/script_host.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ScriptCheck : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("script_check_test_" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string write(const std::string& name, const std::string& text)
    {
        auto path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Runs check_scripts and returns what it wrote.
    std::string check(const std::vector<std::string>& paths, int& status)
    {
        std::FILE* out = std::tmpfile();
        status = app::check_scripts(paths, out);
        std::rewind(out);
        std::string text;
        char buffer[4096];
        size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, out)) > 0)
            text.append(buffer, count);
        std::fclose(out);
        return text;
    }

    fs::path m_folder;
};

TEST_F(ScriptCheck, ReportsEachProblemAsFileLineAndMessage)
{
    auto clean = write("limpo.cor", "escreve \"a\"\r\n@fim\r\n");
    // UTF-8 in, UTF-8 out: the message's accents and the label's.
    auto broken = write("errado.cor", "escreve \"a\"\ndesvia @s\xC3\xB3\nse a = 1\npula\n");
    int status = -1;
    EXPECT_EQ(check({ clean }, status), "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(check({ clean, broken }, status),
        broken + ":2: R\xC3\xB3tulo n\xC3\xA3o encontrado: @S\xC3\x93\n"
        + broken + ":3: SE sem FIM SE\n"
        + broken + ":4: Comando inv\xC3\xA1lido: PULA\n");
    EXPECT_EQ(status, 1);
}

TEST_F(ScriptCheck, GoesOnPastAScriptItCannotRead)
{
    auto broken = write("errado.cor", "pula\n");
    int status = -1;
    auto text = check({ (m_folder / "falta.cor").string(), m_folder.string(), broken }, status);
    EXPECT_NE(text.find("falta.cor: cannot read the script"), std::string::npos) << text;
    EXPECT_NE(text.find(m_folder.string() + ": cannot read the script: it is a directory"), std::string::npos) << text;
    EXPECT_NE(text.find(broken + ":1: "), std::string::npos) << text;
    EXPECT_EQ(status, 2);
}

TEST_F(ScriptCheck, NamesLinesTheRunnerWouldRefuse)
{
    std::string text = "escreve \"" + std::string(app::max_script_line_length, 'x') + "\"\n";
    auto lines = app::split_lines_for_check(text);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 1u);
    EXPECT_GT((*lines)[0].size(), app::max_script_line_length);
    int status = -1;
    auto path = write("longa.cor", text);
    EXPECT_EQ(check({ path }, status), path + ":1: Linha longa demais\n");
    EXPECT_EQ(status, 1);
}

TEST_F(ScriptCheck, ReadsScriptsAsEditorsSaveThemAndRefusesOthers)
{
    // A mark at the start must not make the first keyword unknown.
    auto utf8 = write("marca.cor", "\xEF\xBB\xBF" "escreve \"olá\"\r\n");
    auto utf16 = write("utf16.cor", std::string("\xFF\xFE" "e\0s\0c\0r\0e\0v\0e\0 \0\"\0a\0\"\0\n\0", 24));
    auto binary = write("programa.cor", std::string("escreve \"a\"\n\0\x7F", 15));
    int status = -1;
    EXPECT_EQ(check({ utf8, utf16 }, status), "");
    EXPECT_EQ(status, 0);
    auto text = check({ binary }, status);
    EXPECT_NE(text.find(binary + ": cannot read the script: not a script"), std::string::npos) << text;
    EXPECT_EQ(status, 2);
}

TEST(CheckOption, TakesEveryArgumentAfterItAsAScript)
{
    auto options = app::parse_options({ "corvante", "--check", "a.cor", "b.cor" }, true);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->check);
    EXPECT_EQ(options->check_paths, (std::vector<std::string> { "a.cor", "b.cor" }));
    EXPECT_FALSE(app::parse_options({ "corvante", "--check" }, true));
    // nubrado has no scripts to check.
    EXPECT_FALSE(app::parse_options({ "nubrado", "--check" }, false));
}

TEST(ReasonForFailure, FallsBackOnWhatTheLineShows)
{
    test_support::TestRuntime test;
    test.runtime.failure_reason = interpreter::FailureReason::ChannelNotOpen;
    EXPECT_EQ(app::reason_for_failure(test.runtime, "pula 3"), interpreter::FailureReason::ChannelNotOpen);
    test.runtime.failure_reason = interpreter::FailureReason::None;
    EXPECT_EQ(app::reason_for_failure(test.runtime, "pula 3"), interpreter::FailureReason::UnknownKeyword);
    EXPECT_EQ(app::reason_for_failure(test.runtime, "seja a"), interpreter::FailureReason::CommandFailed);
}

}
