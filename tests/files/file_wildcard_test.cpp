// SPDX-License-Identifier: GPL-3.0-or-later
// Windows wildcard matching of file names, and the readable sizes of HTAMARQ.
#include "files/readable_size.h"
#include "files/wildcard_match.h"
#include "tests/interpreter/case_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>

using namespace files;

TEST(WildcardMatch, CaseTable)
{
    auto cases = test_cases::read_case_table("file_wildcard_cases.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& line : cases) {
        ASSERT_EQ(line.fields.size(), 3u) << "line " << line.number;
        EXPECT_EQ(matches_wildcard(line.fields[0], line.fields[1]), line.fields[2] == "1")
            << "line " << line.number << ": " << line.fields[0] << " against " << line.fields[1];
    }
}

TEST(ReadableSize, UnitsKeepTheirExactSpacing)
{
    EXPECT_EQ(format_readable_size(0, '.'), "0.00 B");
    EXPECT_EQ(format_readable_size(100, '.'), "100.00 B");
    EXPECT_EQ(format_readable_size(1023, '.'), "1023.00 B");
    EXPECT_EQ(format_readable_size(1024, '.'), "1.00KB");
    EXPECT_EQ(format_readable_size(1536, ','), "1,50KB");
    EXPECT_EQ(format_readable_size(5ull << 20, '.'), "5.00 MB");
    EXPECT_EQ(format_readable_size(3ull << 30, '.'), "3.00GB");
    EXPECT_EQ(format_readable_size(2ull << 40, '.'), "2.00 TB");
    // Past terabytes the number stands alone.
    EXPECT_EQ(format_readable_size(1ull << 50, '.'), "1.00");
    // Two decimals are rounded, not cut.
    EXPECT_EQ(format_readable_size(1024 + 1023, '.'), "2.00KB");
}

// The separator follows the user's locale settings: "." in the C locale, ","
// in a Portuguese one (when the system has it).
TEST(ReadableSize, DecimalSeparatorFollowsTheUserLocale)
{
    const char* saved = std::getenv("LC_ALL");
    std::string saved_value = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(locale_decimal_separator(), '.');
    setenv("LC_ALL", "no_SUCH.locale", 1);
    EXPECT_EQ(locale_decimal_separator(), '.');
    setenv("LC_ALL", "pt_BR.UTF-8", 1);
    bool has_portuguese = true;
    try {
        std::locale probe("");
    } catch (...) {
        has_portuguese = false;
    }
    if (has_portuguese) {
        EXPECT_EQ(locale_decimal_separator(), ',');
    }
    if (saved)
        setenv("LC_ALL", saved_value.c_str(), 1);
    else
        unsetenv("LC_ALL");
    if (!has_portuguese)
        GTEST_SKIP() << "no pt_BR.UTF-8 locale on this system";
}
