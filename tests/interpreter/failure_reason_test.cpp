// SPDX-License-Identifier: GPL-3.0-or-later
// The reason a failed statement notes for the end report.
#include "case_table.h"
#include "reason_names.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using interpreter::FailureReason;

TEST(FailureReason, RunsNoteWhyTheyFailed)
{
    auto cases = test_cases::read_case_table("failure_reason_cases.txt");
    ASSERT_GT(cases.size(), 20u);
    for (const auto& entry : cases) {
        std::string where = "failure_reason_cases.txt:" + std::to_string(entry.number);
        ASSERT_EQ(entry.fields.size(), 3u) << where;
        test_support::TestRuntime test;
        auto outcome = test.run_text(entry.fields[0] + "\n");
        EXPECT_TRUE(outcome.failed) << where;
        EXPECT_EQ(std::to_string(outcome.line), entry.fields[1]) << where;
        EXPECT_EQ(test_cases::reason_name(test.runtime.failure_reason), entry.fields[2]) << where;
    }
}

// A statement that fails without a reason of its own must not inherit the
// reason of one that failed before it.
TEST(FailureReason, EveryStatementStartsWithoutOne)
{
    test_support::TestRuntime test;
    EXPECT_FALSE(test.execute("soma a \"x\""));
    EXPECT_EQ(test.runtime.failure_reason, FailureReason::NotANumber);
    EXPECT_TRUE(test.execute("seja a 1"));
    EXPECT_EQ(test.runtime.failure_reason, FailureReason::None);
    EXPECT_FALSE(test.execute("soma a \"x\""));
    EXPECT_FALSE(test.execute("seja a"));
    EXPECT_EQ(test.runtime.failure_reason, FailureReason::None);
}

TEST(FailureReason, ARunPastItsStepLimitSaysSo)
{
    test_support::TestRuntime test;
    test.runtime.step_limit = 100;
    auto outcome = test.run({ "@volta", "desvia @volta" });
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(test.runtime.failure_reason, FailureReason::StepLimit);
}

}
