// SPDX-License-Identifier: GPL-3.0-or-later
#include "cloud_programs.h"
#include "command_arguments.h"

#include <gtest/gtest.h>

using namespace cloud;

TEST(CommandArguments, SortsFlagsOptionsAndOperands)
{
    auto arguments = parse_arguments({ "-a", "--with=ana@x.com", "--level=2", "Minha pasta", "-rf", "--verify", "--",
        "-nome", "--message=" });
    EXPECT_EQ(arguments.operands, (std::vector<std::string> { "Minha pasta", "-nome", "--message=" }));
    for (const char* flag : { "a", "r", "f", "verify" })
        EXPECT_TRUE(arguments.has(flag)) << flag;
    EXPECT_FALSE(arguments.has("d"));
    EXPECT_EQ(arguments.option("with"), "ana@x.com");
    EXPECT_EQ(arguments.option("level"), "2");
    EXPECT_FALSE(arguments.option("message"));
}

TEST(CommandArguments, LastOptionWinsAndEmptyValuesCount)
{
    auto arguments = parse_arguments({ "--message=a", "--message=", "-" });
    EXPECT_EQ(arguments.option("message"), "");
    EXPECT_EQ(arguments.operands, std::vector<std::string> { "-" });
}

TEST(ClientCall, ResultFileIsTakenOnlyFromTheEnd)
{
    auto call = parse_client_call({ "get", "-o", "x", "-o", "/tmp/result" });
    EXPECT_EQ(call.words, (std::vector<std::string> { "get", "-o", "x" }));
    EXPECT_EQ(call.result_file, "/tmp/result");
    auto plain = parse_client_call({ "ls", "-o" });
    EXPECT_FALSE(plain.result_file);
    EXPECT_EQ(plain.words.size(), 2u);
}

TEST(ClientCall, ProgramNamesChooseTheProgram)
{
    EXPECT_EQ(program_kind("megacmdserver"), ProgramKind::Server);
    EXPECT_EQ(program_kind("MegaCmdServer.EXE"), ProgramKind::Server);
    EXPECT_EQ(program_kind("megaclient.exe"), ProgramKind::Client);
    EXPECT_EQ(program_kind("mega-ls"), ProgramKind::Wrapper);
    EXPECT_EQ(program_kind("mega-"), ProgramKind::Unknown);
    EXPECT_EQ(program_kind("cloud"), ProgramKind::Unknown);
}

TEST(ClientCall, RatesTakeSuffixesAndRefuseJunk)
{
    EXPECT_EQ(parse_rate("2048"), 2048u);
    EXPECT_EQ(parse_rate("500K"), 500u * 1024);
    EXPECT_EQ(parse_rate("1m"), 1024u * 1024);
    for (const char* junk : { "", "K", "-1", "1.5M", "12x", "99999999999999999999" })
        EXPECT_FALSE(parse_rate(junk)) << junk;
}
