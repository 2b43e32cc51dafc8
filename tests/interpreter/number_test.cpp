// SPDX-License-Identifier: GPL-3.0-or-later
// Number conversion and formatting.
#include "case_table.h"
#include "interpreter/number.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

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

TEST(Number, ReadsTheTrailingNumberBothWaysAlike)
{
    auto cases = test_cases::read_case_table("trailing_number_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 3u) << "trailing_number_cases.txt:" << entry.number;
        size_t start = 99;
        size_t general_start = 99;
        int32_t value = interpreter::trailing_number(entry.fields[0], start);
        int32_t general = interpreter::trailing_number_general(entry.fields[0], general_start);
        EXPECT_EQ(std::to_string(value), entry.fields[1]) << "trailing_number_cases.txt:" << entry.number;
        EXPECT_EQ(std::to_string(start), entry.fields[2]) << "trailing_number_cases.txt:" << entry.number;
        EXPECT_EQ(value, general) << "trailing_number_cases.txt:" << entry.number;
        EXPECT_EQ(start, general_start) << "trailing_number_cases.txt:" << entry.number;
    }
}

TEST(Number, IncrementsInPlaceOnlyWhatItCanWriteAsFormatted)
{
    auto cases = test_cases::read_case_table("increment_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& entry : cases) {
        ASSERT_EQ(entry.fields.size(), 3u) << "increment_cases.txt:" << entry.number;
        std::string text = entry.fields[0];
        bool done = interpreter::increment_in_place(text, std::stoul(entry.fields[1]));
        if (entry.fields[2] == "-") {
            EXPECT_FALSE(done) << "increment_cases.txt:" << entry.number;
            EXPECT_EQ(text, entry.fields[0]) << "increment_cases.txt:" << entry.number;
        } else {
            EXPECT_TRUE(done) << "increment_cases.txt:" << entry.number;
            EXPECT_EQ(text, entry.fields[2]) << "increment_cases.txt:" << entry.number;
        }
    }
}

// The form for digits already read must agree with the checking form
// wherever its promise holds: text[start..] is digits only.
TEST(Number, IncrementsReadDigitsAsTheCheckingFormDoes)
{
    auto cases = test_cases::read_case_table("increment_cases.txt");
    int checked = 0;
    for (const auto& entry : cases) {
        std::string text = entry.fields[0];
        size_t start = std::stoul(entry.fields[1]);
        if (start >= text.size() || text.find_first_not_of("0123456789", start) != std::string::npos)
            continue;
        std::string checked_text = text;
        bool expected = interpreter::increment_in_place(checked_text, start);
        EXPECT_EQ(interpreter::increment_digits_in_place(text, start), expected) << "increment_cases.txt:" << entry.number;
        EXPECT_EQ(text, checked_text) << "increment_cases.txt:" << entry.number;
        ++checked;
    }
    EXPECT_GT(checked, 8);
    // A sign before the run is not a digit, even when the value is zero.
    std::string negative_zero = "x-0";
    EXPECT_FALSE(interpreter::increment_digits_in_place(negative_zero, 1));
    EXPECT_EQ(negative_zero, "x-0");
}

// Every count a loop passes through, and the carries into each new digit,
// come out as formatting the sum would write them.
TEST(Number, IncrementsInPlaceAsFormattingTheSumWould)
{
    std::vector<int64_t> values;
    for (int64_t value = 0; value < 100000; ++value)
        values.push_back(value);
    for (int64_t power = 1000000; power <= 1000000000; power *= 10) {
        for (int64_t value = power - 1000; value < power + 1000 && value < 1000000000; ++value)
            values.push_back(value);
    }
    for (int64_t value : values) {
        std::string text = "n" + interpreter::format_number(value);
        std::string read_digits = text;
        ASSERT_TRUE(interpreter::increment_in_place(text, 1)) << value;
        ASSERT_EQ(text, "n" + interpreter::format_number(value + 1)) << value;
        ASSERT_TRUE(interpreter::increment_digits_in_place(read_digits, 1)) << value;
        ASSERT_EQ(read_digits, text) << value;
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
    // One and two digits take a shorter way than the rest.
    for (int64_t value = -150; value <= 150; ++value) {
        std::string appended = "x";
        interpreter::append_number(appended, value);
        ASSERT_EQ(appended, "x" + std::to_string(value)) << value;
    }
}

TEST(Number, FormattingRoundTripsEveryMagnitude)
{
    for (int64_t value = 1; value > 0 && value < std::numeric_limits<int64_t>::max() / 7; value = value * 7 + 3) {
        EXPECT_EQ(interpreter::format_number(value), std::to_string(value));
        EXPECT_EQ(interpreter::format_number(-value), std::to_string(-value));
    }
}

}

namespace {

// The short-digit shortcut of parse_number must give exactly what the
// general rule gives, for the texts it takes and for those it hands on.
TEST(Number, ShortcutAgreesWithTheGeneralRule)
{
    std::vector<std::string> texts;
    for (const auto& entry : test_cases::read_case_table("number_cases.txt"))
        texts.push_back(entry.fields[0]);
    // Every length around the shortcut's nine digits, with leading zeros,
    // the largest and smallest digits, and one stray byte at each place.
    for (size_t length = 1; length <= 11; ++length) {
        texts.push_back(std::string(length, '9'));
        texts.push_back(std::string(length, '0'));
        texts.push_back("1" + std::string(length - 1, '0'));
        texts.push_back("0" + std::string(length - 1, '7'));
        texts.push_back("0x" + std::string(length - 1, '7'));
        texts.push_back("-" + std::string(length, '8'));
        for (size_t place = 0; place < length; ++place) {
            for (char stray : { ' ', '-', '+', 'x', 'X', '$', '/', ':', 'a', '\0', '\xB2' }) {
                std::string text(length, '5');
                text[place] = stray;
                texts.push_back(text);
            }
        }
    }
    for (const auto& text : texts) {
        auto fast = interpreter::parse_number(text);
        auto general = interpreter::parse_number_general(text);
        EXPECT_EQ(fast.has_value(), general.has_value()) << "[" << text << "]";
        if (fast && general) {
            EXPECT_EQ(*fast, *general) << "[" << text << "]";
        }
    }
}

}
