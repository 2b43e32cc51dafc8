// SPDX-License-Identifier: GPL-3.0-or-later
// Running from decoded lines and from text: the same values, failures and reports.
#include "interpreter/run_loop.h"
#include "tests/support/statement_sequences.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using interpreter::FailureReason;
using test_support::TestRuntime;

// Choices for the statement generator from a seeded engine, in the shape of
// libFuzzer's data provider; `budget` bounds how many it hands out.
class SeededSource {
public:
    SeededSource(uint32_t seed, size_t budget)
        : m_engine(seed)
        , m_budget(budget)
    {
    }

    template <typename T>
    T ConsumeIntegralInRange(T low, T high)
    {
        m_budget -= m_budget > 0 ? 1 : 0;
        return std::uniform_int_distribution<T>(low, high)(m_engine);
    }
    bool ConsumeBool() { return ConsumeIntegralInRange(0, 1) == 1; }
    std::string ConsumeRandomLengthString(size_t max_length)
    {
        std::string text(ConsumeIntegralInRange<size_t>(0, max_length), ' ');
        for (char& c : text)
            c = static_cast<char>(ConsumeIntegralInRange(1, 255));
        return text;
    }
    size_t remaining_bytes() const { return m_budget; }

private:
    std::mt19937 m_engine;
    size_t m_budget;
};

std::string listing(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "| " + line + "\n";
    return text;
}

// Scripts of labels, blocks, nested SE, CMD, jumps, calls, arithmetic and
// texts: whatever either path does, the other must do the same.
TEST(TwoPaths, RandomScriptsRunAlike)
{
    int failed_runs = 0;
    int ran_far = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        SeededSource source(seed, 200);
        auto lines = test_support::random_script(source, 40);
        auto decoded = test_support::run_one_path(lines, false, 3000);
        auto text = test_support::run_one_path(lines, true, 3000);
        ASSERT_TRUE(decoded == text) << "seed " << seed << ", decoded ended on line " << decoded.outcome.line
                                     << ", text on line " << text.outcome.line << "\n"
                                     << listing(lines);
        failed_runs += decoded.outcome.failed ? 1 : 0;
        ran_far += decoded.outcome.line > 20 ? 1 : 0;
    }
    // The scripts must reach both ends: a generator whose scripts all fail
    // on their first line would compare nothing.
    EXPECT_GT(failed_runs, 20);
    EXPECT_LT(failed_runs, 390);
    // Many run past their first random lines, through blocks and jumps.
    EXPECT_GT(ran_far, 60);
}

// Scripts whose every observable effect is known, each run both ways.
TEST(TwoPaths, KnownScriptsGiveTheSameOutcomeAndReason)
{
    struct Case {
        std::vector<std::string> lines;
        bool failed;
        int line;
        FailureReason reason;
        std::string console;
    };
    const Case cases[] = {
        { { "seja a 1", "  soma a 2  ", "escreve a" }, false, 4, FailureReason::None, "3\r\n" },
        { { "escreve 1", "pula 3", "escreve 2" }, true, 2, FailureReason::UnknownKeyword, "1\r\nComando inv\xE1lido: PULA\r\n" },
        { { "seja a 1", "soma a \"x\"" }, true, 2, FailureReason::NotANumber, "" },
        { { "se 1 = 1 soma a \"x\"" }, true, 1, FailureReason::NotANumber, "" },
        { { "se 1 = 1 fim se" }, true, 1, FailureReason::BlockStatementNested, "" },
        { { "cmd \"senao\"" }, true, 1, FailureReason::BlockStatementNested, "" },
        { { "seja a 1", "seja a" }, true, 2, FailureReason::None, "" },
        { { "chama @sub", "escreve a", "termina", "@sub", "seja a 5", "retorna" }, false, 3, FailureReason::None,
            "5\r\n" },
        { { "desvia @nada" }, true, 1, FailureReason::MissingLabel, "" },
        { { "ESCREVE\t1" }, true, 1, FailureReason::UnknownKeyword, "Comando inv\xE1lido: ESCREVE\t1\r\n" },
        { { "\t* nada", "@rotulo", "", "escreve  \"a b\"" }, false, 5, FailureReason::None, "a b\r\n" },
        { { "@sub", "chama @sub" }, true, 2, FailureReason::CallsTooDeep, "Muitas chamadas sem retorno\r\n" },
        // A jump to a label named by a value goes where the value says each
        // time; one with its label written goes to the same line each time.
        { { "seja $d \"um\"", "@volta", "soma n 1", "se n = 3 seja $d \"fim\"", "desvia $d", "@um", "desvia @volta",
              "@fim", "escreve n" },
            false, 10, FailureReason::None, "3\r\n" },
        { { "@volta", "soma n 1", "se n < 3 desvia @volta", "se n < 5 cmd \"desvia @volta\"", "escreve n" }, false, 6,
            FailureReason::None, "5\r\n" },
    };
    for (bool text_path : { false, true }) {
        for (const Case& entry : cases) {
            SCOPED_TRACE(listing(entry.lines) + (text_path ? "(text path)" : "(decoded)"));
            auto result = test_support::run_one_path(entry.lines, text_path);
            EXPECT_EQ(result.outcome.failed, entry.failed);
            EXPECT_EQ(result.outcome.line, entry.line);
            EXPECT_EQ(result.reason, entry.reason);
            EXPECT_EQ(result.console, entry.console);
        }
    }
}

// A line decoded in one run is stored anew for the next: the next run must
// run the new text, not the old decoding.
TEST(TwoPaths, StoringALineAgainDecodesItAfresh)
{
    TestRuntime test;
    test.run({ "seja a 1", "escreve a" });
    test.run({ "seja a 2", "* escreve a", "escreve 3" });
    test.run({ "  escreve  4", "pula" });
    EXPECT_EQ(test.ports.console_lines(), "1\n3\n4\nComando inv\xE1lido: PULA\n");
}

// A jump remembers where its label was only while the store stays as it
// is: storing any line may move or remove the label.
TEST(TwoPaths, AJumpLooksForItsLabelAgainOnceTheStoreChanges)
{
    for (bool text_path : { false, true }) {
        TestRuntime test;
        test.runtime.text_path = text_path;
        auto outcome = test.run({ "desvia @a", "escreve 1", "@a", "escreve 2" });
        EXPECT_FALSE(outcome.failed);
        // Only line 3 is stored again: lines 1 and 2 keep their text, and
        // the label is gone.
        test.runtime.store.store_line("@b", 3);
        outcome = interpreter::run_script(test.runtime);
        EXPECT_TRUE(outcome.failed);
        EXPECT_EQ(outcome.line, 1);
        EXPECT_EQ(test.runtime.failure_reason, FailureReason::MissingLabel);
        EXPECT_EQ(test.ports.console_lines(), "2\n");
    }
}

// The reason of a failure in one run is not the reason of the next run's
// failure at the same step, nor of a later line's failure.
TEST(TwoPaths, AReasonBelongsToTheStepThatNotedIt)
{
    for (bool text_path : { false, true }) {
        TestRuntime test;
        test.runtime.text_path = text_path;
        test.run({ "seja a 1", "soma a \"x\"" });
        EXPECT_EQ(test.runtime.failure_reason, FailureReason::NotANumber);
        test.run({ "seja a 1", "seja a" });
        EXPECT_EQ(test.runtime.failure_reason, FailureReason::None);
        // A run that ends well leaves no reason behind.
        test.run({ "seja a 1", "soma a \"x\"" });
        test.run({ "escreve 1" });
        EXPECT_EQ(test.runtime.failure_reason, FailureReason::None);
    }
}

// The looks at pending events and the step limit share one counter: a look
// every 4096 lines up to and including the last line the limit lets run.
TEST(TwoPaths, LooksAtEventsAndTheStepLimitCountTheSameLines)
{
    struct Case {
        uint64_t limit;
        int looks;
        std::string count; // the loop's turns when the limit stops it
    };
    const Case cases[] = {
        { 4095, 0, "2047" },
        { 4096, 1, "2048" },
        { 4097, 1, "2048" },
        { 8191, 1, "4095" },
        { 8192, 2, "4096" },
        { 12289, 3, "6144" },
    };
    for (bool text_path : { false, true }) {
        for (const Case& entry : cases) {
            SCOPED_TRACE("limit " + std::to_string(entry.limit) + (text_path ? " (text path)" : ""));
            TestRuntime test;
            test.runtime.text_path = text_path;
            test.runtime.step_limit = entry.limit;
            auto outcome = test.run({ "soma n 1", "desvia @a", "@a", "desvia @b", "@b" });
            // Not a loop: five lines, no look, no stop.
            EXPECT_FALSE(outcome.failed);
            outcome = test.run({ "@a", "soma n 1", "desvia @a" });
            EXPECT_TRUE(outcome.failed);
            EXPECT_EQ(test.runtime.failure_reason, FailureReason::StepLimit);
            EXPECT_EQ(test.ports.event_looks, entry.looks);
            // One turn of the first script and the limit's turns of the loop.
            EXPECT_EQ(test.variable("n"), std::to_string(std::stoi(entry.count) + 1));
        }
    }
}

}
