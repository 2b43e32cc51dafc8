// SPDX-License-Identifier: GPL-3.0-or-later
// A fake diphone synthesiser library for the phoneme-line voice's tests: it logs every call and makes known samples.
//
// The database file it is given holds "samples=N" (samples made at each
// flush, default 0) and may hold "fail_write=K" (the K-th write_MBR after
// init_MBR fails). Every call is appended, one a line, to the database path
// followed by ".log". Built twice: once whole, once without appendf0_Phone,
// a library that is not a whole synthesiser.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct FakeState {
    std::string log_path;
    long samples_per_flush = 0;
    long fail_write = 0;
    long writes = 0;
    long pending = 0;
    bool ready = false;
};

FakeState& state()
{
    static FakeState fake;
    return fake;
}

void log_call(const std::string& text)
{
    if (state().log_path.empty())
        return;
    std::ofstream log(state().log_path, std::ios::app | std::ios::binary);
    log << text << '\n';
}

}

extern "C" {

int init_MBR(char* path)
{
    std::ifstream database(path ? path : "", std::ios::binary);
    if (!database)
        return -1;
    auto& fake = state();
    fake = FakeState {};
    fake.log_path = std::string(path) + ".log";
    std::string line;
    while (std::getline(database, line)) {
        if (line.rfind("samples=", 0) == 0)
            fake.samples_per_flush = std::strtol(line.c_str() + 8, nullptr, 10);
        if (line.rfind("fail_write=", 0) == 0)
            fake.fail_write = std::strtol(line.c_str() + 11, nullptr, 10);
    }
    fake.ready = true;
    log_call("init");
    return 0;
}

int init_rename_MBR(char* path, char*, char*) { return init_MBR(path); }

void close_MBR()
{
    log_call("close");
    state().ready = false;
}

int reset_MBR()
{
    log_call("reset");
    state().pending = 0;
    return 1;
}

int write_MBR(char* lines)
{
    auto& fake = state();
    ++fake.writes;
    std::string text = lines ? lines : "";
    // The log shows the line endings the voice sent.
    std::string shown;
    for (char c : text)
        shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    if (fake.fail_write != 0 && fake.writes == fake.fail_write) {
        log_call("write-failed " + shown);
        return -1;
    }
    log_call("write " + shown);
    return 1;
}

int flush_MBR()
{
    log_call("flush");
    state().pending += state().samples_per_flush;
    return 1;
}

int read_MBR(short* buffer, int max)
{
    auto& fake = state();
    long count = fake.pending < max ? fake.pending : max;
    for (long i = 0; i < count; ++i)
        buffer[i] = static_cast<short>(1000 + i % 7);
    fake.pending -= count;
    return static_cast<int>(count);
}

int readtype_MBR(void*, int, int) { return 0; }
int lastError_MBR() { return 0; }
int lastErrorStr_MBR(char* buffer, int size)
{
    if (buffer && size > 0)
        buffer[0] = 0;
    return 0;
}
void setNoError_MBR(int no_error) { log_call("no-error " + std::to_string(no_error)); }
int getNoError_MBR() { return 0; }
void setFreq_MBR(int) { }
int getFreq_MBR() { return 16000; }
void setVolumeRatio_MBR(float) { }
float getVolumeRatio_MBR() { return 1; }
int getVersion_MBR(char* buffer, int size) { return lastErrorStr_MBR(buffer, size); }
int getDatabaseInfo_MBR(char* buffer, int size, int) { return lastErrorStr_MBR(buffer, size); }
int setParser_MBR(void*) { return 0; }
void* init_Phone(const char*, float) { return nullptr; }
void reset_Phone(void*) { }
void close_Phone(void*) { }
#ifndef FAKE_SYNTH_PARTIAL
int appendf0_Phone(void*, float, float) { return 0; }
#endif
}
