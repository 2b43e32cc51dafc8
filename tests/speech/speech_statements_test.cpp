// SPDX-License-Identifier: GPL-3.0-or-later
// FALA, SOLETRA, FALAHORA and SINTCONFIG in scripts.
#include "interpreter/argument_readers.h"
#include "speech/client_speech.h"
#include "speech/speech_cues.h"
#include "speech/speech_statements.h"
#include "tests/speech/speech_fixture.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

void bind_with_speech(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    speech::bind_speech_statements(table);
}

// The statements speak through the speech client, as in the programs; the
// console and the clock are recorded.
class SpeechStatementsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.write_voice({ { "$PA", 60, 100 } }, "(PA)= pa|\n", "");
        world.write_settings("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=54\nVOZ=2\n");
        world.start();
        bind_with_speech(commands);
        speech_port = std::make_unique<speech::ClientSpeech>(*world.client, *world.cues, world.engine, *world.config);
        runtime = std::make_unique<interpreter::Runtime>(interpreter::Ports { ports, *speech_port, ports }, commands);
        interpreter::reset_interpreter(*runtime);
        runtime->subsystems.settings = world.config.get();
    }

    bool line(std::string_view text) { return interpreter::execute_line(*runtime, text, false); }
    void set_variable(std::string_view name, std::string_view value)
    {
        auto slot = interpreter::read_target(*runtime, name);
        ASSERT_TRUE(slot.has_value());
        runtime->variables.set(*slot, value);
    }

    speech_test::SpeechWorld world;
    test_support::RecordingPorts ports;
    interpreter::CommandTable commands;
    std::unique_ptr<speech::ClientSpeech> speech_port;
    std::unique_ptr<interpreter::Runtime> runtime;
};

TEST_F(SpeechStatementsTest, SpeakJoinsItsValues)
{
    set_variable("$x", "pa");
    EXPECT_TRUE(line("fala \"pa \" $x 7"));
    EXPECT_TRUE(line("fala \"a\" &"));
    EXPECT_TRUE(line("fala &"));
    EXPECT_TRUE(line("fala"));
    EXPECT_FALSE(line("fala \"a\" )"));
    EXPECT_EQ(world.log.entries(), (Lines { "speak: pa pa7", "speak: a", "speak: a" }));
}

TEST_F(SpeechStatementsTest, SpellWritesAndSpells)
{
    EXPECT_TRUE(line("soletra \"ab\""));
    EXPECT_FALSE(line("soletra"));
    EXPECT_EQ(world.log.entries(), (Lines { "spell: ab" }));
    EXPECT_EQ(ports.console, "ab");
}

TEST_F(SpeechStatementsTest, SpeakTimeTakesOnlyHhColonMm)
{
    EXPECT_TRUE(line("falahora \"09:30\""));
    EXPECT_EQ(world.log.entries(), (Lines { "sound: _nove", "sound: _horas", "sound: _trinta", "sound: _minutos" }));
    EXPECT_FALSE(line("falahora \"9:30\""));
    EXPECT_FALSE(line("falahora \"0x:30\""));
    EXPECT_FALSE(line("falahora \"09-30\""));
    EXPECT_FALSE(line("falahora"));
    EXPECT_EQ(world.log.entries().size(), 4u);
}

TEST_F(SpeechStatementsTest, ConfigureSynthesiser)
{
    EXPECT_TRUE(line("sintconfig 0 2 0 0 0 0"));
    EXPECT_EQ(world.client->speed_level(), 2);
    EXPECT_FALSE(world.engine.is_open());
    // Mode 2 takes SAPI ("Sim": the engine), -1 takes the settings.
    EXPECT_TRUE(line("sintconfig 2 -1 -1 0 0 0"));
    EXPECT_EQ(world.client->speed_level(), 3);
    EXPECT_EQ(world.engine.type(), 54);
    EXPECT_FALSE(world.engine.is_open()); // no engine can be opened yet
    EXPECT_FALSE(line("sintconfig 3 1 0 0 0 0"));
    EXPECT_FALSE(line("sintconfig 0 1 0 0 0"));
    EXPECT_FALSE(line("sintconfig 0 1.5 0 0 0 0"));
    EXPECT_FALSE(line("sintconfig 0 \"x\" 0 0 0 0"));
}

// The statement reads and checks its six numbers and hands them on in
// their order; a runtime whose speech only records still takes them.
TEST(SpeechStatements, ConfigureHandsItsValuesToTheSpeechPort)
{
    struct Case {
        const char* line;
        const char* cue; // nullptr: the statement fails and nothing is handed on
    };
    const Case cases[] = {
        { "sintconfig 1 2 54 3 4 5", "configure: 1 2 54 3 4 5" },
        { "sintconfig 2 -1 -1 -1 -1 -1", "configure: 2 -1 -1 -1 -1 -1" },
        { "sintconfig 0 9 0 0 -1 0", "configure: 0 9 0 0 -1 0" },
        { "sintconfig -1 2 0 0 0 0", nullptr },
        { "sintconfig 3 2 0 0 0 0", nullptr },
        { "sintconfig 1 2 0 0 0", nullptr },
    };
    for (const auto& test : cases) {
        test_support::TestRuntime script { bind_with_speech };
        EXPECT_EQ(script.execute(test.line), test.cue != nullptr) << test.line;
        Lines expected;
        if (test.cue)
            expected.emplace_back(test.cue);
        EXPECT_EQ(script.ports.cues, expected) << test.line;
    }
}

}
