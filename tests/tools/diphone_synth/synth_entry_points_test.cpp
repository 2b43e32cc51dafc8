// SPDX-License-Identifier: GPL-3.0-or-later
// The library as the voice uses it: loaded with dlopen, every entry point
// bound by name.
#include "phoneme_synth_api.h"

#include "test_voice.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Api {
    void* handle = nullptr;
    init_MBR_fn init = nullptr;
    init_rename_MBR_fn init_rename = nullptr;
    close_MBR_fn close = nullptr;
    reset_MBR_fn reset = nullptr;
    write_MBR_fn write = nullptr;
    flush_MBR_fn flush = nullptr;
    read_MBR_fn read = nullptr;
    readtype_MBR_fn readtype = nullptr;
    lastError_MBR_fn last_error = nullptr;
    lastErrorStr_MBR_fn last_error_text = nullptr;
    setNoError_MBR_fn set_no_error = nullptr;
    getNoError_MBR_fn get_no_error = nullptr;
    setFreq_MBR_fn set_freq = nullptr;
    getFreq_MBR_fn get_freq = nullptr;
    setVolumeRatio_MBR_fn set_volume = nullptr;
    getVolumeRatio_MBR_fn get_volume = nullptr;
    getVersion_MBR_fn version = nullptr;
    getDatabaseInfo_MBR_fn database_info = nullptr;
    setParser_MBR_fn set_parser = nullptr;
    init_Phone_fn init_phone = nullptr;
    reset_Phone_fn reset_phone = nullptr;
    close_Phone_fn close_phone = nullptr;
    appendf0_Phone_fn append_f0 = nullptr;
};

template<typename T>
bool bind(void* handle, const char* name, T& slot)
{
    slot = reinterpret_cast<T>(dlsym(handle, name));
    return slot != nullptr;
}

class SynthLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        api.handle = dlopen(SYNTH_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(api.handle) << dlerror();
        bool all = bind(api.handle, "init_MBR", api.init) && bind(api.handle, "init_rename_MBR", api.init_rename)
            && bind(api.handle, "close_MBR", api.close) && bind(api.handle, "reset_MBR", api.reset)
            && bind(api.handle, "write_MBR", api.write) && bind(api.handle, "flush_MBR", api.flush)
            && bind(api.handle, "read_MBR", api.read) && bind(api.handle, "readtype_MBR", api.readtype)
            && bind(api.handle, "lastError_MBR", api.last_error)
            && bind(api.handle, "lastErrorStr_MBR", api.last_error_text)
            && bind(api.handle, "setNoError_MBR", api.set_no_error)
            && bind(api.handle, "getNoError_MBR", api.get_no_error) && bind(api.handle, "setFreq_MBR", api.set_freq)
            && bind(api.handle, "getFreq_MBR", api.get_freq)
            && bind(api.handle, "setVolumeRatio_MBR", api.set_volume)
            && bind(api.handle, "getVolumeRatio_MBR", api.get_volume)
            && bind(api.handle, "getVersion_MBR", api.version)
            && bind(api.handle, "getDatabaseInfo_MBR", api.database_info)
            && bind(api.handle, "setParser_MBR", api.set_parser) && bind(api.handle, "init_Phone", api.init_phone)
            && bind(api.handle, "reset_Phone", api.reset_phone) && bind(api.handle, "close_Phone", api.close_phone)
            && bind(api.handle, "appendf0_Phone", api.append_f0);
        ASSERT_TRUE(all) << "an entry point is missing";
        database_path = ::testing::TempDir() + "/synth_library_test_br4";
        auto bytes = diphone_test::make_database().serialise();
        std::ofstream(database_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    void TearDown() override
    {
        if (api.close)
            api.close();
        if (api.handle)
            dlclose(api.handle);
        std::remove(database_path.c_str());
    }
    int write(const std::string& line)
    {
        std::string copy = line;
        return api.write(copy.data());
    }
    int open()
    {
        std::string copy = database_path;
        return api.init(copy.data());
    }
    std::vector<short> read_all(int chunk)
    {
        std::vector<short> all;
        std::vector<short> buffer(static_cast<size_t>(chunk));
        for (;;) {
            int count = api.read(buffer.data(), chunk);
            if (count <= 0)
                break;
            all.insert(all.end(), buffer.begin(), buffer.begin() + count);
        }
        return all;
    }

    Api api;
    std::string database_path;
};

}

TEST_F(SynthLibrary, InitFailsOnMissingOrDamagedDatabases)
{
    std::string missing = "/nonexistent/br4";
    EXPECT_LT(api.init(missing.data()), 0);
    EXPECT_EQ(api.last_error(), MBR_ERROR_DATABASE);
    EXPECT_LT(api.init(nullptr), 0);
    // Calls before a successful init fail instead of crashing.
    EXPECT_LT(write("a 100"), 0);
    EXPECT_EQ(api.last_error(), MBR_ERROR_NOT_INITIALISED);
    short buffer[8];
    EXPECT_LT(api.read(buffer, 8), 0);
    EXPECT_LT(api.flush(), 0);

    std::ifstream in(database_path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes[bytes.size() - 100] ^= 0x40;
    std::ofstream(database_path, std::ios::binary) << bytes;
    EXPECT_LT(open(), 0);
    char text[200];
    EXPECT_GT(api.last_error_text(text, sizeof text), 0);
    EXPECT_NE(std::string(text).find("damaged"), std::string::npos) << text;
}

TEST_F(SynthLibrary, WritesFlushesReadsAndResets)
{
    ASSERT_EQ(open(), 0);
    api.set_no_error(0);
    EXPECT_EQ(api.reset(), 0);
    const char* lines[] = { "_ 100\r\n", "a 200 0 110 100 130\r\n", "s 120\r\n", "a 150 50 120\r\n", "_ 100\r\n" };
    for (const char* line : lines)
        ASSERT_GE(write(line), 0) << line;
    ASSERT_EQ(api.flush(), 0);
    auto whole = read_all(64000);
    EXPECT_EQ(whole.size(), size_t(670 * 16));
    EXPECT_TRUE(std::any_of(whole.begin(), whole.end(), [](short s) { return s > 1000; }));

    // The same utterance read 37 samples at a time gives the same samples.
    api.reset();
    for (const char* line : lines)
        ASSERT_GE(write(line), 0);
    api.flush();
    EXPECT_EQ(read_all(37), whole);

    // reset drops what was waiting.
    for (const char* line : lines)
        write(line);
    api.flush();
    EXPECT_EQ(api.reset(), 0);
    short buffer[16];
    EXPECT_EQ(api.read(buffer, 16), 0);
    EXPECT_LT(api.read(nullptr, 16), 0);
    EXPECT_LT(api.read(buffer, -1), 0);
}

TEST_F(SynthLibrary, ErrorsFollowTheNoErrorSetting)
{
    ASSERT_EQ(open(), 0);
    api.set_no_error(0);
    EXPECT_EQ(api.get_no_error(), 0);
    EXPECT_LT(write("zz 100"), 0);
    EXPECT_EQ(api.last_error(), MBR_ERROR_UNKNOWN_PHONEME);
    EXPECT_LT(write("a 1 2"), 0);
    EXPECT_EQ(api.last_error(), MBR_ERROR_SYNTAX);
    char text[64];
    EXPECT_GT(api.last_error_text(text, sizeof text), 0);
    // A buffer of one byte gets the terminator only.
    EXPECT_EQ(api.last_error_text(text, 1), 0);
    EXPECT_EQ(text[0], '\0');

    api.set_no_error(-63);
    EXPECT_EQ(api.get_no_error(), 1);
    api.reset();
    EXPECT_EQ(write("zz 100"), 0);
    EXPECT_EQ(write("_ 100"), 0);
    EXPECT_EQ(write("a 1 2"), 0);
    api.flush();
    EXPECT_EQ(read_all(1000).size(), size_t(100 * 16));

    // Input without its terminator within reach is refused.
    std::string endless(70000, 'a');
    EXPECT_LT(write(endless), 0);
    EXPECT_EQ(api.last_error(), MBR_ERROR_OVERFLOW);
}

TEST_F(SynthLibrary, RenamesAndOtherSettings)
{
    std::string path = database_path, rename = "a aa i ii";
    ASSERT_EQ(api.init_rename(path.data(), rename.data(), nullptr), 0);
    EXPECT_EQ(write("aa 100\nii 100"), 0);
    api.flush();
    EXPECT_EQ(read_all(500).size(), size_t(200 * 16));
    std::string bad = "a";
    EXPECT_LT(api.init_rename(path.data(), bad.data(), nullptr), 0);

    ASSERT_EQ(open(), 0);
    api.set_volume(0.25f);
    EXPECT_FLOAT_EQ(api.get_volume(), 0.25f);
    api.set_freq(22050);
    EXPECT_EQ(api.get_freq(), 22050);
    write("a 100");
    api.flush();
    EXPECT_NEAR(double(read_all(500).size()), 100 * 22.05, 2);
    api.set_freq(16000);
    api.set_volume(1.0f);

    unsigned char bytes[4000];
    write("_ 100");
    api.flush();
    EXPECT_EQ(api.readtype(bytes, 4000, MBR_LIN8), 1600);
    EXPECT_EQ(bytes[800], 128);
    EXPECT_LT(api.readtype(bytes, 10, 99), 0);

    char text[100];
    EXPECT_GT(api.version(text, sizeof text), 0);
    EXPECT_EQ(api.database_info(text, sizeof text, 0), 10);
    EXPECT_EQ(std::string(text), "test voice");
    EXPECT_GT(api.database_info(text, sizeof text, 1), 0);
    EXPECT_LT(api.database_info(text, sizeof text, 2), 0);
    EXPECT_EQ(api.set_parser(nullptr), 0);
    int dummy = 0;
    EXPECT_LT(api.set_parser(&dummy), 0);

    void* phone = api.init_phone("a", 120);
    ASSERT_TRUE(phone);
    EXPECT_EQ(api.append_f0(phone, 0, 100), 1);
    EXPECT_EQ(api.append_f0(phone, 100, 120), 2);
    EXPECT_LT(api.append_f0(phone, 50, -1), 0);
    api.reset_phone(phone);
    EXPECT_EQ(api.append_f0(phone, 50, 110), 1);
    api.close_phone(phone);
    EXPECT_FALSE(api.init_phone("a b", 10));
    EXPECT_FALSE(api.init_phone(nullptr, 10));
}
