// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the system commands over fake processes, desktop, port and sound.
#include "tests/system/system_fixture.h"

#include "interpreter/captured_output.h"
#include "tests/system/test_pictures.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace system_tests;
using Way = platform::FakeProcessLauncher::Way;

namespace {

struct SystemStatements : SystemFixture, testing::Test {
    bool run(std::string_view line) { return test.execute(line); }
    void write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
};

}

TEST_F(SystemStatements, WaitsAsLongAsAsked)
{
    EXPECT_TRUE(run("espera 2"));
    EXPECT_EQ(test.ports.paused_ms, 2000);
    // Seventy seconds are seventy seconds, not a count cut to 16 bits.
    test.ports.paused_ms = 0;
    EXPECT_TRUE(run("espera 70"));
    EXPECT_EQ(test.ports.paused_ms, 70000);
    test.ports.paused_ms = 0;
    EXPECT_TRUE(run("espera ms 70000"));
    EXPECT_EQ(test.ports.paused_ms, 70000);
    test.ports.paused_ms = 0;
    EXPECT_TRUE(run("espera MS 500"));
    EXPECT_EQ(test.ports.paused_ms, 500);
    test.ports.paused_ms = 0;
    EXPECT_TRUE(run("espera ms -5"));
    EXPECT_EQ(test.ports.paused_ms, 0);
    EXPECT_EQ(test.runtime.io_status, 0);

    EXPECT_FALSE(run("espera"));
    EXPECT_FALSE(run("espera \"abc\""));
    EXPECT_FALSE(run("espera ms"));
}

TEST_F(SystemStatements, WindowWaitLooksAtTheTitleTwiceASecond)
{
    test.runtime.io_status = 7;
    EXPECT_TRUE(run("espera 3 \"bloco de notas\""));
    EXPECT_EQ(test.runtime.io_status, 1);
    EXPECT_EQ(test.ports.paused_ms, 3000);

    test.ports.paused_ms = 0;
    EXPECT_TRUE(run("espera 0 \"x\""));
    EXPECT_EQ(test.runtime.io_status, 1);
    EXPECT_EQ(test.ports.paused_ms, 0);

    desktop.title = "Sem t\xC3\xADtulo - Bloco de Notas";
    EXPECT_TRUE(run("espera ms 3 \"t\xEDtulo - bloco\""));
    EXPECT_EQ(test.runtime.io_status, 0);
    EXPECT_EQ(test.ports.paused_ms, 0);
}

TEST_F(SystemStatements, AlarmPlaysToneInRangeOnly)
{
    RecordingSound sound;
    state.set_sound(&sound);
    EXPECT_TRUE(run("alarme 20000 20000"));
    EXPECT_TRUE(run("alarme 0 0 anything after is ignored"));
    EXPECT_EQ(sound.tones, (std::vector<std::pair<int, int>> { { 20000, 20000 }, { 0, 0 } }));
    EXPECT_FALSE(run("alarme 20001 10"));
    EXPECT_FALSE(run("alarme 440 20001"));
    EXPECT_FALSE(run("alarme -1 10"));
    EXPECT_FALSE(run("alarme 440 -1"));
    EXPECT_FALSE(run("alarme 440"));
    EXPECT_FALSE(run("alarme"));
    EXPECT_FALSE(run("alarme \"x\" 10"));
    EXPECT_EQ(sound.tones.size(), 2u);

    // Without a sound output the tone still takes its time.
    state.set_sound(nullptr);
    EXPECT_TRUE(run("alarme 440 250"));
    EXPECT_EQ(test.ports.paused_ms, 250);
}

TEST_F(SystemStatements, CmdRunsOneNestedStatement)
{
    test.set_variable("$linha", "seja a 5");
    EXPECT_TRUE(run("cmd $linha"));
    EXPECT_EQ(test.variable("a"), "5");
    EXPECT_FALSE(run("cmd \"repete\""));
    EXPECT_FALSE(run("cmd \"seja a 1\" x"));
    EXPECT_FALSE(run("cmd"));
}

TEST_F(SystemStatements, HandleIsTheConsoleWindowOrZero)
{
    EXPECT_TRUE(run("handle h"));
    EXPECT_EQ(test.variable("h"), "0");
    desktop.console = 41943047;
    EXPECT_TRUE(run("handle $janela"));
    EXPECT_EQ(test.variable("$janela"), "41943047");
    EXPECT_FALSE(run("handle"));
}

TEST_F(SystemStatements, SensorWithoutPortSaysSoAndStoresZero)
{
    test.set_variable("s", "9");
    EXPECT_TRUE(run("sensor s"));
    EXPECT_EQ(test.variable("s"), "0");
    EXPECT_TRUE(run("sensor s"));
    EXPECT_EQ(test.ports.console_lines(), "inpout32.dll n\xE3o dispon\xEDvel.\ninpout32.dll n\xE3o dispon\xEDvel.\n");
    EXPECT_EQ(test.ports.speech, (std::vector<std::string>(2, "inpout32.dll n\xE3o dispon\xEDvel.")));
    EXPECT_EQ(ports.attempts(), 2);
}

TEST(SystemSensor, ReportsTheFirstActiveSensorThroughThePort)
{
    platform::FakeSensorMatrix wiring;
    platform::FakePortOpener ports(&wiring);
    platform::FakeProcessLauncher launcher;
    platform::NoDesktop desktop;
    sys::SystemState state(launcher, desktop, ports);
    test_support::TestRuntime test(bind_with_system);
    test.runtime.subsystems.system = &state;
    // The rest value is read when the port is first opened, with no switch
    // closed.
    EXPECT_TRUE(test.execute("sensor x"));
    EXPECT_EQ(test.variable("x"), "0");
    wiring.set_active(9, true);
    wiring.set_active(6, true);
    EXPECT_TRUE(test.execute("sensor x"));
    EXPECT_EQ(test.variable("x"), "6");
    EXPECT_EQ(test.ports.console, "");
}

TEST_F(SystemStatements, MessageNamesAreUpperCasedWithWavAdded)
{
    RecordingSound sound;
    state.set_sound(&sound);
    EXPECT_TRUE(run("mensagem \"c:\\msgs\\ol\xE1\""));
    EXPECT_TRUE(run("mensagem \"c:\\msgs\\Ola.wav\""));
    EXPECT_TRUE(run("mensagem \"x.wave\""));
    EXPECT_EQ(sound.files, (std::vector<std::string> { "C:\\MSGS\\OL\xC1.WAV", "C:\\MSGS\\OLA.WAV", "X.WAVE" }));
    EXPECT_FALSE(run("mensagem"));
    // Without a sound output the command still succeeds.
    state.set_sound(nullptr);
    EXPECT_TRUE(run("mensagem \"ola\""));
}

TEST_F(SystemStatements, ExecutaChoosesTheWayByItsAmpersands)
{
    launcher.add_to_path("prog", "/usr/bin/prog");
    EXPECT_TRUE(run("executa \"prog a \"\"b c\"\"\" &&&"));
    EXPECT_TRUE(run("executa \"prog\" &&"));
    EXPECT_TRUE(run("executa \"prog\" &"));
    EXPECT_TRUE(run("executa \"prog\" & & & &"));
    ASSERT_EQ(launcher.starts().size(), 4u);
    EXPECT_EQ(launcher.starts()[0].way, Way::captured);
    EXPECT_EQ(launcher.starts()[0].request.arguments, (std::vector<std::string> { "prog", "a", "b c" }));
    EXPECT_EQ(launcher.starts()[1].way, Way::detached);
    EXPECT_EQ(launcher.starts()[2].way, Way::detached);
    EXPECT_EQ(launcher.starts()[3].way, Way::detached);
    EXPECT_TRUE(launcher.waited().empty());
    EXPECT_EQ(test.ports.paused_ms, 0);

    EXPECT_FALSE(run("executa \"nosuch\" &&&"));
    EXPECT_FALSE(run("executa \"nosuch\""));
    EXPECT_FALSE(run("executa \"prog\" x"));
    EXPECT_FALSE(run("executa &&&"));
    launcher.fail_starts(true);
    EXPECT_FALSE(run("executa \"prog\" &&&"));
}

TEST_F(SystemStatements, PlainExecutaWaitsForTheProgramWithoutAWindow)
{
    launcher.add_to_path("prog", "/usr/bin/prog");
    test.write_settings("[LUMERA]\nTEMPOESPERAPROGVOLTAR=300\n");
    EXPECT_TRUE(run("executa \"prog\""));
    ASSERT_EQ(launcher.starts().size(), 1u);
    EXPECT_TRUE(launcher.waited().contains(launcher.starts()[0].pid));
    EXPECT_GE(test.ports.paused_ms, 300);
}

TEST_F(SystemStatements, PlainExecutaFollowsTheForegroundWindow)
{
    launcher.add_to_path("prog", "/usr/bin/prog");
    desktop.console = 5;
    desktop.front = 5;
    // Up after one look, then the program's window for two looks, then the
    // console again.
    desktop.front_after_asks = { 5, 9, 9, 9 };
    EXPECT_TRUE(run("executa \"prog\""));
    EXPECT_TRUE(launcher.waited().empty());
    EXPECT_EQ(test.ports.paused_ms, 100 + 200 + 1000);

    // A program that never comes up ends the first phase after 5 seconds.
    test.ports.paused_ms = 0;
    desktop.front_after_asks.clear();
    EXPECT_TRUE(run("executa \"prog\""));
    EXPECT_EQ(test.ports.paused_ms, 5000 + 1000);
}

TEST_F(SystemStatements, PlainExecutaWithoutAKnownForegroundRunsOutLikeAProgramThatNeverComesUp)
{
    // An X server without a window manager names no active window: the
    // console window is known, the one in front is not.
    launcher.add_to_path("prog", "/usr/bin/prog");
    desktop.console = 5;
    desktop.front = std::nullopt;
    EXPECT_TRUE(run("executa \"prog\""));
    EXPECT_TRUE(launcher.waited().empty());
    EXPECT_EQ(test.ports.paused_ms, 5000 + 1000);

    // The active window vanishing while the program is in front (the window
    // manager went away) ends the wait instead of holding the script forever.
    test.ports.paused_ms = 0;
    desktop.front_after_asks = { 9, 9, std::nullopt };
    EXPECT_TRUE(run("executa \"prog\""));
    EXPECT_EQ(test.ports.paused_ms, 100 + 1000);
}

TEST_F(SystemStatements, PlainExecutaHandsTheTerminalOver)
{
    launcher.add_to_path("prog", "/usr/bin/prog");
    RecordingHandover handover;
    state.set_handover(&handover);
    EXPECT_TRUE(run("executa \"prog x\""));
    ASSERT_EQ(launcher.starts().size(), 1u);
    EXPECT_EQ(launcher.starts()[0].way, Way::foreground);
    EXPECT_TRUE(launcher.waited().contains(launcher.starts()[0].pid));
    EXPECT_EQ(handover.events, "leave;restore;");
    // The terminal comes back also when the start fails.
    launcher.fail_starts(true);
    EXPECT_FALSE(run("executa \"prog\""));
    EXPECT_EQ(handover.events, "leave;restore;leave;restore;");
}

TEST_F(SystemStatements, DocumentsAndAddressesGoToTheDesktopOpener)
{
    launcher.add_to_path("xdg-open", "/usr/bin/xdg-open");
    auto document = (drive_c / "carta.txt").string();
    launcher.add_file(document);
    EXPECT_TRUE(run("executa \"c:\\carta.txt\" &"));
    EXPECT_TRUE(run("executa \"https://example.org/a?b=1\" &&"));
    ASSERT_EQ(launcher.starts().size(), 2u);
    EXPECT_EQ(launcher.starts()[0].request.arguments, (std::vector<std::string> { "xdg-open", document }));
    EXPECT_EQ(launcher.starts()[1].request.arguments, (std::vector<std::string> { "xdg-open", "https://example.org/a?b=1" }));
    EXPECT_FALSE(run("executa \"c:\\nada.txt\" &"));
}

TEST_F(SystemStatements, TaskkillEndsTheNamedProcessesOnly)
{
    launcher.add_process({ 50, "victim", "victim", { "/x/victim" } });
    launcher.add_process({ 51, "other", "other", { "/x/other" } });
    launcher.add_process({ 52, "dash", "victim", { "/bin/sh", "/y/victim" } });
    EXPECT_TRUE(run("executa \"cmd /c taskkill /f /im VICTIM.exe\" &&&"));
    EXPECT_EQ(launcher.ended(), (std::vector<std::pair<int, bool>> { { 50, true }, { 52, true } }));
    EXPECT_TRUE(launcher.starts().empty());
    EXPECT_TRUE(run("existeprog \"other.exe\" x"));
    EXPECT_EQ(test.variable("x"), "1");
    EXPECT_TRUE(run("existeprog \"victim.exe\" x"));
    EXPECT_EQ(test.variable("x"), "0");
    EXPECT_FALSE(run("existeprog \"victim.exe\""));
}

// A script may start a server again right after ending it by force; the
// old one must be gone by then. Without /f nothing is waited for.
TEST_F(SystemStatements, ForcedTaskkillReturnsOnceItsProcessesAreGone)
{
    launcher.linger_after_end(3);
    launcher.add_process({ 50, "server", "server", { "/x/server" } });
    EXPECT_TRUE(run("executa \"cmd /c taskkill /f /im server.exe\" &&&"));
    EXPECT_TRUE(run("existeprog \"server.exe\" x"));
    EXPECT_EQ(test.variable("x"), "0");

    launcher.add_process({ 60, "server", "server", { "/x/server" } });
    EXPECT_TRUE(run("executa \"cmd /c taskkill /im server.exe\" &&&"));
    EXPECT_EQ(launcher.ended().back(), (std::pair<int, bool> { 60, false }));
    EXPECT_TRUE(run("existeprog \"server.exe\" x"));
    EXPECT_EQ(test.variable("x"), "1");
}

TEST_F(SystemStatements, EnviacmdFeedsTheCapturedChildAndLeReadsIt)
{
    EXPECT_TRUE(run("enviacmd \"ninguem\""));
    EXPECT_EQ(test.runtime.subsystems.captured_output->read_captured_output(), "");
    test.ports.paused_ms = 0;
    launcher.add_to_path("prog", "/usr/bin/prog");
    ASSERT_TRUE(run("executa \"prog\" &&&"));
    auto& ends = launcher.child_ends(launcher.starts()[0].pid);
    EXPECT_TRUE(run("enviacmd \"login x\""));
    EXPECT_EQ(test.ports.paused_ms, 100);
    char buffer[32] = {};
    auto count = ::read(ends.input.get(), buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, size_t(count)), "login x\n");
    ASSERT_EQ(::write(ends.output.get(), "ok", 2), 2);
    EXPECT_EQ(test.runtime.subsystems.captured_output->read_captured_output(), "ok\r\n\r\n");
    EXPECT_FALSE(run("enviacmd"));
}

TEST_F(SystemStatements, PicturesAreCheckedConvertedAndKept)
{
    write_file(drive_c / "fotos" / "quadro.bmp", test_pictures::make_bmp(6, 4));
    ASSERT_TRUE(test_pictures::write_jpeg((drive_c / "foto.jpeg").string(), 20, 10, false));
    write_file(drive_c / "falso.bmp", { 'n', 'o' });
    const auto& kept = state.kept_picture().picture();

    EXPECT_TRUE(run("imagem \"c:\\FOTOS\\quadro.bmp\" 12 34"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->width, 6);
    EXPECT_EQ(kept->x, 12);
    EXPECT_EQ(kept->y, 34);

    EXPECT_TRUE(run("imagem \"c:\\foto.jpeg\" 1 2"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->width, 20);
    EXPECT_EQ(kept->height, 10);
    EXPECT_FALSE(std::filesystem::exists(drive_c / "$$$.bmp"));

    EXPECT_TRUE(run("imagem"));
    EXPECT_FALSE(kept);

    EXPECT_FALSE(run("imagem \"c:\\nada.bmp\""));
    EXPECT_TRUE(run("imagem \"c:\\nada.bmp\" &"));
    EXPECT_FALSE(run("imagem \"c:\\falso.bmp\""));
    EXPECT_TRUE(run("imagem \"c:\\falso.bmp\" 3 4 &"));
    EXPECT_FALSE(kept);
    EXPECT_FALSE(run("imagem \"c:\\fotos\\quadro.bmp\" 1"));
    EXPECT_FALSE(run("imagem \"c:\\fotos\\quadro.bmp\" 1 2 3"));
    EXPECT_FALSE(run("imagem \"c:\\fotos\\quadro.bmp\" 1 \"y\""));
}
