// SPDX-License-Identifier: GPL-3.0-or-later
#include "phoneme_line.h"

#include <gtest/gtest.h>

using namespace diphone;

namespace {

struct LineCase {
    std::string line;
    LineKind kind;
    std::string name;
    double duration;
    std::vector<std::pair<double, double>> points;
};

}

TEST(PhonemeLine, ReadsWellFormedLines)
{
    const LineCase cases[] = {
        { "a 100", LineKind::Phoneme, "a", 100, {} },
        { "  nh\t 75.5  ", LineKind::Phoneme, "nh", 75.5, {} },
        { "r2 60 0 110 100 95", LineKind::Phoneme, "r2", 60, { { 0, 110 }, { 100, 95 } } },
        { "@ 80 50 120\r", LineKind::Phoneme, "@", 80, { { 50, 120 } } },
        { "_ 200 ; a pause", LineKind::Phoneme, "_", 200, {} },
        // Points out of order are sorted; out-of-range values brought in.
        { "e 90 80 100 20 130", LineKind::Phoneme, "e", 90, { { 20, 130 }, { 80, 100 } } },
        { "o 50 -10 5 150 9000", LineKind::Phoneme, "o", 50, { { 0, min_pitch_hz }, { 100, max_pitch_hz } } },
        { "u 99999", LineKind::Phoneme, "u", max_duration_ms, {} },
        { "i +40 1e2 1.2e2", LineKind::Phoneme, "i", 40, { { 100, 120 } } },
        { "", LineKind::Nothing, "", 0, {} },
        { "   ", LineKind::Nothing, "", 0, {} },
        { "; comment a 100", LineKind::Nothing, "", 0, {} },
        { "#", LineKind::Flush, "", 0, {} },
        { " # ", LineKind::Flush, "", 0, {} },
    };
    for (const LineCase& test : cases) {
        SCOPED_TRACE(test.line);
        ParsedLine parsed = parse_phoneme_line(test.line);
        ASSERT_EQ(parsed.kind, test.kind) << parsed.error;
        if (test.kind != LineKind::Phoneme)
            continue;
        EXPECT_EQ(parsed.phoneme.name, test.name);
        EXPECT_DOUBLE_EQ(parsed.phoneme.duration_ms, test.duration);
        ASSERT_EQ(parsed.phoneme.points.size(), test.points.size());
        for (size_t i = 0; i < test.points.size(); ++i) {
            EXPECT_DOUBLE_EQ(parsed.phoneme.points[i].percent, test.points[i].first);
            EXPECT_DOUBLE_EQ(parsed.phoneme.points[i].hz, test.points[i].second);
        }
    }
}

TEST(PhonemeLine, RefusesMalformedLines)
{
    const std::string cases[] = {
        "a",                     // no duration
        "a ten",                 // not a number
        "a -5",                  // negative duration
        "a 100 50",              // percent without pitch
        "a 100 50 x",            // pitch not a number
        "a 100 50 0",            // zero pitch
        "a 100 50 -120",         // negative pitch
        "a nan",                 // not finite
        "a inf 0 100",           //
        "a 1e999",               // overflows to infinity
        "a 100 0x10 100",        // hexadecimal is not a number here
        "a 10 20 30 40 50 60",   // odd count
        "toolongname 100",       // longer than a name may be
        "a-b 100",               // not in the alphabet
        "\xe1 100",              // a byte outside ASCII
        "a\x01 100",             // a control character in the name
        "a 1..2",                //
        "a 100 50 120abc",       // trailing text on a number
        "# 100",                 // flush takes nothing
    };
    for (const std::string& line : cases) {
        SCOPED_TRACE(line);
        ParsedLine parsed = parse_phoneme_line(line);
        EXPECT_EQ(parsed.kind, LineKind::Error);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(PhonemeLine, LimitsLengthAndPointCount)
{
    std::string many = "a 100";
    for (size_t i = 0; i <= max_pitch_points; ++i)
        many += " 50 100";
    EXPECT_EQ(parse_phoneme_line(many).kind, LineKind::Error);
    std::string enough = "a 100";
    for (size_t i = 0; i < max_pitch_points; ++i)
        enough += " 50 100";
    EXPECT_EQ(parse_phoneme_line(enough).kind, LineKind::Phoneme);
    EXPECT_EQ(parse_phoneme_line("a 100" + std::string(max_line_length, ' ')).kind, LineKind::Error);
}
