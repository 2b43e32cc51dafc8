// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests with real child processes: captured streams, EXISTEPROG,
// "cmd /c", taskkill and the bookkeeping of a hundred starts. Every child is
// a copy of the test's own helper program under a name unique to this test
// process, so that nothing else on the machine is ever matched or ended.
#include "platform/posix/posix_process_launcher.h"
#include "interpreter/captured_output.h"
#include "system/process_match.h"
#include "tests/system/system_fixture.h"

#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <sys/file.h>
#include <unistd.h>

using namespace system_tests;

namespace {

constexpr int patience_ms = 10000;

bool eventually(const std::function<bool()>& condition, int timeout_ms = patience_ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

int count_open_descriptors()
{
    int count = 0;
    DIR* folder = opendir("/proc/self/fd");
    while (dirent* item = readdir(folder))
        count += item->d_name[0] != '.';
    closedir(folder);
    return count - 1; // the folder's own descriptor
}

// Children of this process that have ended and not been collected.
std::string read_proc_file(const std::string& path)
{
    std::string text;
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return text;
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(descriptor, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(count));
    ::close(descriptor);
    return text;
}

int count_zombie_children()
{
    int zombies = 0;
    DIR* proc = opendir("/proc");
    while (dirent* item = readdir(proc)) {
        if (item->d_name[0] < '1' || item->d_name[0] > '9')
            continue;
        // A process can end between the listing and the read, which then
        // fails (ESRCH): such a process is no zombie of ours.
        std::string stat = read_proc_file(std::string("/proc/") + item->d_name + "/stat");
        auto close = stat.rfind(')');
        if (close == std::string::npos || close + 4 >= stat.size())
            continue;
        char state = stat[close + 2];
        int parent = std::atoi(stat.c_str() + close + 4);
        zombies += state == 'Z' && parent == getpid();
    }
    closedir(proc);
    return zombies;
}

struct RealProcesses : testing::Test {
    RealProcesses()
        : drive_c(std::filesystem::temp_directory_path() / ("corvante-real-" + std::to_string(getpid())))
        , paths((std::filesystem::create_directories(drive_c), drive_c.string()))
        , ports(nullptr)
        , state(launcher, desktop, ports)
        , test(bind_with_system)
    {
        test.runtime.subsystems.paths = &paths;
        test.runtime.subsystems.system = &state;
        test.runtime.subsystems.captured_output = &state;
    }
    ~RealProcesses() override
    {
        state.captured().release();
        for (int pid : started_here)
            launcher.end_process(pid, true);
        for (int pid : started_here)
            launcher.wait_for_exit(pid, 2000);
        std::error_code ignored;
        std::filesystem::remove_all(drive_c, ignored);
    }

    // A copy of the helper program named `stem` plus this process's id.
    std::string helper(const std::string& stem)
    {
        auto path = drive_c / "bin" / (stem + std::to_string(getpid()));
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(SYSTEM_TEST_CHILD, path, std::filesystem::copy_options::overwrite_existing);
        return path.string();
    }
    bool run(std::string_view line) { return test.execute(line); }
    std::string exists(const std::string& name)
    {
        test.set_variable("$nome", name);
        EXPECT_TRUE(run("existeprog $nome $achou"));
        return test.variable("$achou");
    }
    void remember(const std::string& name)
    {
        for (int pid : sys::find_processes(launcher, name))
            started_here.push_back(pid);
    }

    std::filesystem::path drive_c;
    platform::PathMap paths;
    platform::PosixProcessLauncher launcher;
    platform::NoDesktop desktop;
    platform::FakePortOpener ports;
    sys::SystemState state;
    test_support::TestRuntime test;
    std::vector<int> started_here;
};

}

TEST_F(RealProcesses, CapturedChildWritesBothStreamsAndReadsALineSentToIt)
{
    auto program = helper("talker_");
    test.set_variable("$comando", program + " talk");
    ASSERT_TRUE(run("executa $comando &&&"));
    started_here.push_back(state.captured().pid());

    std::string seen;
    EXPECT_TRUE(eventually([&] {
        seen += test.runtime.subsystems.captured_output->read_captured_output();
        return seen.find("out-line") != std::string::npos && seen.find("err-line") != std::string::npos;
    })) << seen;
    EXPECT_TRUE(run("enviacmd \"ol\xE1 mundo\""));
    std::string answer;
    EXPECT_TRUE(eventually([&] {
        answer += test.runtime.subsystems.captured_output->read_captured_output();
        return answer.find("got:ol\xE1 mundo\n") != std::string::npos;
    })) << answer;
    EXPECT_TRUE(eventually([&] { return exists("talker_" + std::to_string(getpid()) + ".exe") == "0"; }));
}

TEST_F(RealProcesses, ExisteprogSeesARunningChildAndNotAnEndedOne)
{
    // Longer than the 15 bytes the kernel keeps of a name.
    auto program = helper("existeprog_long_name_");
    auto name = std::filesystem::path(program).filename().string();
    test.set_variable("$comando", program + " sleep 400");
    ASSERT_TRUE(run("executa $comando &&"));
    remember(name);
    EXPECT_EQ(exists(name), "1");
    std::string upper = name;
    for (auto& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(exists(upper + ".EXE"), "1");
    EXPECT_EQ(exists(name.substr(0, 15)), "0");
    EXPECT_TRUE(eventually([&] { return exists(name + ".exe") == "0"; }));
}

TEST_F(RealProcesses, ExisteprogFindsAChildRightAfterItsStart)
{
    // Just after posix_spawn returns, /proc may still show this process's
    // image for the child; the launcher answers with what it started.
    auto program = helper("fresh_");
    auto name = std::filesystem::path(program).filename().string();
    test.set_variable("$comando", program + " sleep 100");
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(run("executa $comando &&&"));
        started_here.push_back(state.captured().pid());
        ASSERT_EQ(exists(name), "1") << "start " << i;
    }
}

TEST_F(RealProcesses, CmdLineWithAWindowsPathRedirectsIntoDriveC)
{
    std::filesystem::create_directories(drive_c / "Saida");
    auto program = helper("cmdline_");
    test.set_variable("$comando",
        "cmd /c " + program + " sleep 300 && echo ol\xE1 $HOME>c:\\SAIDA\\r.txt 2>&1");
    ASSERT_TRUE(run("executa $comando &&&"));
    started_here.push_back(state.captured().pid());
    EXPECT_EQ(exists("cmd.exe"), "1");
    auto result = drive_c / "Saida" / "r.txt";
    std::string text;
    EXPECT_TRUE(eventually([&] {
        std::ifstream file(result);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return !text.empty();
    }));
    // Text reaches the file in UTF-8, and "$HOME" is not expanded.
    EXPECT_EQ(text, "ol\xC3\xA1 $HOME\n");
}

TEST_F(RealProcesses, TaskkillEndsTheNamedChildAndLeavesTheOthers)
{
    auto victim = helper("tk_victim_");
    auto bystander = helper("tk_bystander_");
    auto victim_name = std::filesystem::path(victim).filename().string();
    auto bystander_name = std::filesystem::path(bystander).filename().string();
    test.set_variable("$a", victim + " sleep 20000");
    test.set_variable("$b", bystander + " sleep 20000");
    ASSERT_TRUE(run("executa $a &&"));
    ASSERT_TRUE(run("executa $b &&"));
    remember(victim_name);
    remember(bystander_name);
    ASSERT_EQ(exists(victim_name), "1");

    test.set_variable("$comando", "cmd /c taskkill /f /im " + victim_name + ".exe");
    ASSERT_TRUE(run("executa $comando &&&"));
    EXPECT_TRUE(eventually([&] { return exists(victim_name) == "0"; }));
    EXPECT_EQ(exists(bystander_name), "1");
}

// A killed server with many threads: its first thread becomes a zombie
// while the others still end and hold its lock. Taskkill /f is back only
// once it holds nothing, so that a new one started at once can take it.
TEST_F(RealProcesses, TaskkillReturnsOnceTheKilledProgramHoldsNothing)
{
    auto server = helper("tk_server_");
    auto server_name = std::filesystem::path(server).filename().string();
    auto lock_path = (drive_c / "server.lock").string();
    auto lock_is_free = [&] {
        int lock = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        bool free = lock >= 0 && flock(lock, LOCK_EX | LOCK_NB) == 0;
        if (lock >= 0)
            close(lock);
        return free;
    };
    test.set_variable("$a", server + " hold " + lock_path + " 64");
    test.set_variable("$comando", "cmd /c taskkill /f /im " + server_name + ".exe");
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(run("executa $a &&"));
        remember(server_name);
        ASSERT_TRUE(eventually([&] { return !lock_is_free(); }));
        // Every thread started: the more there are, the longer the kill takes.
        auto tasks = "/proc/" + std::to_string(started_here.back()) + "/task";
        ASSERT_TRUE(eventually([&] {
            std::error_code error;
            return std::distance(std::filesystem::directory_iterator(tasks, error), {}) > 64;
        }));
        ASSERT_TRUE(run("executa $comando &&&"));
        ASSERT_TRUE(lock_is_free()) << "round " << round << ": taskkill was back while it still held its lock";
        ASSERT_EQ(exists(server_name), "0");
    }
}

TEST_F(RealProcesses, PlainExecutaWithoutAWindowReturnsOnceTheProgramHasEnded)
{
    auto program = helper("plain_");
    auto name = std::filesystem::path(program).filename().string();
    test.write_settings("[LUMERA]\nTEMPOESPERAPROGVOLTAR=0\n");
    test.set_variable("$comando", program + " sleep 200");
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(run("executa $comando"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(exists(name), "0");
}

TEST_F(RealProcesses, AHundredCapturedStartsLeaveNoZombieAndNoDescriptor)
{
    auto program = helper("quick_");
    test.set_variable("$comando", program + " exit");
    int before = count_open_descriptors();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(run("executa $comando &&&")) << i;
    auto elapsed = std::chrono::steady_clock::now() - start;
    std::cout << "100 captured starts: "
              << std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() / 100 << " us each\n";
    // The last child's three pipe ends are held until the next start.
    EXPECT_EQ(count_open_descriptors(), before + 3);
    EXPECT_TRUE(eventually([&] {
        launcher.reap_children();
        return count_zombie_children() == 0;
    }));
    state.captured().release();
    EXPECT_EQ(count_open_descriptors(), before);
}
