// SPDX-License-Identifier: GPL-3.0-or-later
// The place memo of name references: a remembered slot must never differ from a fresh lookup.
#include "interpreter/argument_readers.h"
#include "interpreter/expression.h"
#include "interpreter/run_loop.h"
#include "interpreter/runtime.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using interpreter::read_named_variable;

TEST(PlaceMemo, AShorterOrLongerViewOfOnePlaceReadsItsOwnName)
{
    test_support::TestRuntime test;
    auto& runtime = test.runtime;
    runtime.store.store_line("seja $abc_d = 1", 1);
    runtime.current_line = 1;
    std::string_view line = runtime.store.line(1);
    std::string_view whole = line.substr(5);

    std::string_view rest = whole;
    auto long_name = read_named_variable(runtime, rest);
    ASSERT_TRUE(long_name);
    EXPECT_EQ(rest, "= 1");
    // Twice, so that the second reading comes from the memo.
    rest = whole;
    EXPECT_EQ(read_named_variable(runtime, rest), long_name);

    // The same place seen through a view that ends inside the name.
    rest = whole.substr(0, 4);
    auto short_name = read_named_variable(runtime, rest);
    ASSERT_TRUE(short_name);
    EXPECT_NE(short_name, long_name);
    EXPECT_EQ(rest, "");
    rest = whole;
    EXPECT_EQ(read_named_variable(runtime, rest), long_name);
    rest = whole.substr(0, 4);
    EXPECT_EQ(read_named_variable(runtime, rest), short_name);

    // A view that ends inside a name read first, then the whole name.
    runtime.store.store_line("seja $xy_z = 1", 2);
    runtime.current_line = 2;
    std::string_view other = std::string_view(runtime.store.line(2)).substr(5);
    for (int turn = 0; turn < 2; ++turn) {
        rest = other.substr(0, 3);
        auto part = read_named_variable(runtime, rest);
        rest = other;
        auto full = read_named_variable(runtime, rest);
        ASSERT_TRUE(part && full);
        EXPECT_NE(part, full);
        EXPECT_NE(part, long_name);
        EXPECT_EQ(rest, "= 1");
    }
    runtime.current_line = 1;

    // An expression's names have no "_", so the same place names $abc there.
    runtime.variables.set(*short_name, "7");
    runtime.variables.set(*long_name, "100");
    for (int turn = 0; turn < 2; ++turn) {
        auto result = interpreter::eval_expression(runtime, whole);
        ASSERT_TRUE(result.valid);
        EXPECT_EQ(result.value, 7);
    }
}

TEST(PlaceMemo, TextOutsideTheStoreIsReadAfreshEveryTime)
{
    test_support::TestRuntime test;
    auto& runtime = test.runtime;
    runtime.store.store_line("seja $x = 1", 1);
    runtime.current_line = 1;
    // One buffer, rewritten in place: the same address holds another name.
    std::string buffer = "$primeiro";
    std::string_view rest = buffer;
    auto first = read_named_variable(runtime, rest);
    buffer.replace(0, buffer.size(), "$segundo_");
    rest = buffer;
    auto second = read_named_variable(runtime, rest);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
}

TEST(PlaceMemo, ForgetsWhenTheStoreOrTheNameTableChanges)
{
    test_support::TestRuntime test;
    auto& runtime = test.runtime;
    // The same line number and length: the stored text stays where it was.
    runtime.store.store_line("seja $aaa = 1", 1);
    runtime.current_line = 1;
    EXPECT_TRUE(interpreter::execute_line(runtime, runtime.store.line(1), false));
    runtime.store.store_line("seja $bbb = 2", 1);
    EXPECT_TRUE(interpreter::execute_line(runtime, runtime.store.line(1), false));
    EXPECT_EQ(test.variable("$aaa"), "1");
    EXPECT_EQ(test.variable("$bbb"), "2");

    // After a reset the names are numbered afresh in the order of use, so
    // $bbb no longer has the slot it had.
    interpreter::reset_interpreter(runtime);
    runtime.current_line = 1;
    EXPECT_TRUE(test.execute("seja $outro = 8"));
    EXPECT_TRUE(test.execute("seja $mais = 9"));
    EXPECT_TRUE(interpreter::execute_line(runtime, runtime.store.line(1), false));
    EXPECT_EQ(test.variable("$outro"), "8");
    EXPECT_EQ(test.variable("$mais"), "9");
    EXPECT_EQ(test.variable("$bbb"), "2");
}

TEST(PlaceMemo, ALoopReadsTheSameValuesAsStraightLineCode)
{
    // Many places in one loop, so that some of them share a memo set.
    test_support::TestRuntime looped;
    std::string text = "repete $volta 3\n";
    std::string straight;
    for (int name = 0; name < 40; ++name) {
        text += "soma $n" + std::to_string(name) + " " + std::to_string(name) + "\n";
        for (int turn = 0; turn < 3; ++turn)
            straight += "soma $n" + std::to_string(name) + " " + std::to_string(name) + "\n";
    }
    text += "fim repete\n";
    looped.run_text(text);
    test_support::TestRuntime unrolled;
    unrolled.run_text(straight);
    for (int name = 0; name < 40; ++name) {
        std::string variable = "$n" + std::to_string(name);
        EXPECT_EQ(looped.variable(variable), std::to_string(3 * name)) << variable;
        EXPECT_EQ(unrolled.variable(variable), std::to_string(3 * name)) << variable;
    }
}

}
