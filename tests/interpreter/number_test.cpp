// SPDX-License-Identifier: GPL-3.0-or-later
// Number conversion and formatting.
#include "case_table.h"
#include "interpreter/number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Number, ConvertsTheTableOfTexts)
{
    auto cases = test_cases::read_case_table("number_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 2u) << "number_cases.txt:" << entry.number;
        auto parsed = interpreter::parse_number(entry.fields[0]);
        if (entry.fields[1] == "-") {
            EXPECT_FALSE(parsed) << "number_cases.txt:" << entry.number << " [" << entry.fields[0] << "] gave " << *parsed;
        } else {
            ASSERT_TRUE(parsed) << "number_cases.txt:" << entry.number << " [" << entry.fields[0] << "]";
            EXPECT_EQ(std::to_string(*parsed), entry.fields[1]) << "number_cases.txt:" << entry.number;
        }
    }
}

TEST(Number, FormatsWithoutPaddingAndWithTheSign)
{
    EXPECT_EQ(interpreter::format_number(0), "0");
    EXPECT_EQ(interpreter::format_number(-5), "-5");
    EXPECT_EQ(interpreter::format_number(1000000), "1000000");
    EXPECT_EQ(interpreter::format_number(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(interpreter::format_number(std::numeric_limits<int64_t>::max()), "9223372036854775807");
    std::string text = "item";
    interpreter::append_number(text, 10);
    EXPECT_EQ(text, "item10");
}

TEST(Number, FormattingRoundTripsEveryMagnitude)
{
    for (int64_t value = 1; value > 0 && value < std::numeric_limits<int64_t>::max() / 7; value = value * 7 + 3) {
        EXPECT_EQ(interpreter::format_number(value), std::to_string(value));
        EXPECT_EQ(interpreter::format_number(-value), std::to_string(-value));
    }
}

}
