// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/url_parts.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<std::string> split_columns(const std::string& line)
{
    std::vector<std::string> columns;
    std::stringstream stream(line);
    std::string column;
    while (std::getline(stream, column, '|')) {
        auto first = column.find_first_not_of(' ');
        auto last = column.find_last_not_of(' ');
        columns.push_back(first == std::string::npos ? "" : column.substr(first, last - first + 1));
    }
    return columns;
}

TEST(UrlParts, SplitsEveryUrlOfTheTable)
{
    std::ifstream table(NET_TEST_DATA "/url_cases.txt");
    ASSERT_TRUE(table.is_open());
    std::string line;
    int cases = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        auto columns = split_columns(line);
        ASSERT_EQ(columns.size(), 5u) << line;
        auto parts = net::split_url(columns[0]);
        ++cases;
        if (columns[2] == "-") {
            EXPECT_FALSE(parts.has_value()) << line;
            continue;
        }
        ASSERT_TRUE(parts.has_value()) << line;
        EXPECT_EQ(parts->tls, columns[1] == "1") << line;
        EXPECT_EQ(parts->host, columns[2]) << line;
        EXPECT_EQ(parts->port, std::stoi(columns[3])) << line;
        EXPECT_EQ(parts->path, columns[4]) << line;
    }
    EXPECT_GE(cases, 10);
}

TEST(UrlParts, RejectsLineBreaksThatWouldForgeRequestLines)
{
    EXPECT_FALSE(net::split_url("http://h/a\r\nX-Injected: 1").has_value());
    EXPECT_FALSE(net::split_url(std::string("http://h/a\0b", 12)).has_value());
}

TEST(UrlParts, ResolvesRedirectTargets)
{
    EXPECT_EQ(net::resolve_location("http://h:81/a/b.txt", "http://o/x"), "http://o/x");
    EXPECT_EQ(net::resolve_location("https://h:81/a/b.txt", "//o/x"), "https://o/x");
    EXPECT_EQ(net::resolve_location("http://h:81/a/b.txt", "/x/y"), "http://h:81/x/y");
    EXPECT_EQ(net::resolve_location("http://h:81/a/b.txt?q=/z", "c.txt"), "http://h:81/a/c.txt");
    EXPECT_EQ(net::resolve_location("http://h", "c.txt"), "http://h/c.txt");
    EXPECT_EQ(net::resolve_location("http://h/a/", "  c.txt "), "http://h/a/c.txt");
}

}
