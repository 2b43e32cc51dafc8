// SPDX-License-Identifier: GPL-3.0-or-later
// The library's C entry points over one process-wide synthesiser. Callers
// bind them by name; every pointer and size they pass is checked.
#include "phoneme_synth_api.h"

#include "psola_synthesiser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>

using namespace diphone;

namespace {

constexpr const char* version_text = "3.3.1 Corvante diphone synthesiser";

struct Library {
    std::mutex lock;
    std::shared_ptr<const DiphoneDatabase> database;
    std::unique_ptr<PsolaSynthesiser> synthesiser;
    // Settings made before init_MBR, or kept across a new init_MBR.
    bool no_error = false;
    float volume = 1.0f;
    int frequency = database_rate;
    SynthError error = SynthError::None;
    std::string error_text;
};

Library& library()
{
    static Library instance;
    return instance;
}

void set_error(Library& lib, SynthError error, std::string text)
{
    lib.error = error;
    lib.error_text = std::move(text);
    if (lib.synthesiser)
        lib.synthesiser->fail(error, lib.error_text);
}

int copy_text(const std::string& text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return -1;
    size_t count = std::min(text.size(), size_t(size) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return int(count);
}

// "a b c d" -> b is read as a, d as c.
bool read_aliases(const char* text, std::map<std::string, std::string, std::less<>>& aliases)
{
    if (!text)
        return true;
    std::istringstream words(std::string(text, strnlen(text, max_line_length)));
    std::string database_name, input_name;
    while (words >> database_name) {
        if (!(words >> input_name) || !is_phoneme_name(database_name) || !is_phoneme_name(input_name))
            return false;
        aliases[input_name] = database_name;
    }
    return true;
}

int open_database(char* path, char* rename, char* clone)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    lib.synthesiser.reset();
    lib.database.reset();
    if (!path) {
        set_error(lib, SynthError::Argument, "no database path");
        return -1;
    }
    std::map<std::string, std::string, std::less<>> aliases;
    if (!read_aliases(rename, aliases) || !read_aliases(clone, aliases)) {
        set_error(lib, SynthError::Argument, "bad rename or clone list");
        return -1;
    }
    std::string problem;
    auto database = DiphoneDatabase::load(path, problem);
    if (!database) {
        set_error(lib, SynthError::Database, problem);
        return -1;
    }
    lib.database = std::make_shared<const DiphoneDatabase>(std::move(*database));
    lib.synthesiser = std::make_unique<PsolaSynthesiser>(lib.database);
    lib.synthesiser->set_no_error(lib.no_error);
    lib.synthesiser->set_volume(lib.volume);
    lib.synthesiser->set_output_rate(lib.frequency);
    lib.synthesiser->set_aliases(std::move(aliases));
    lib.error = SynthError::None;
    lib.error_text.clear();
    return 0;
}

// The synthesiser's error, else the library's own.
SynthError current_error(const Library& lib)
{
    if (lib.synthesiser && lib.synthesiser->last_error() != SynthError::None)
        return lib.synthesiser->last_error();
    return lib.error;
}

struct Phone {
    PhonemeLine line;
};

}

extern "C" {

__attribute__((visibility("default"))) int init_MBR(char* database_path)
{
    return open_database(database_path, nullptr, nullptr);
}

__attribute__((visibility("default"))) int init_rename_MBR(char* database_path, char* rename, char* clone)
{
    return open_database(database_path, rename, clone);
}

__attribute__((visibility("default"))) void close_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    lib.synthesiser.reset();
    lib.database.reset();
}

__attribute__((visibility("default"))) int reset_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    lib.error = SynthError::None;
    lib.error_text.clear();
    if (!lib.synthesiser) {
        set_error(lib, SynthError::NotInitialised, "the database is not open");
        return -1;
    }
    lib.synthesiser->reset();
    return 0;
}

__attribute__((visibility("default"))) int write_MBR(char* lines)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!lib.synthesiser) {
        set_error(lib, SynthError::NotInitialised, "the database is not open");
        return -1;
    }
    if (!lines) {
        set_error(lib, SynthError::Argument, "no input line");
        return -1;
    }
    // Input is read up to its terminator, but never further than a few
    // lines' worth: a caller that forgot the terminator gets an error.
    constexpr size_t longest_write = 64 * max_line_length;
    size_t length = strnlen(lines, longest_write + 1);
    if (length > longest_write) {
        set_error(lib, SynthError::Overflow, "input too long for one write");
        return -1;
    }
    return lib.synthesiser->write(std::string_view(lines, length)) ? 0 : -1;
}

__attribute__((visibility("default"))) int flush_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!lib.synthesiser) {
        set_error(lib, SynthError::NotInitialised, "the database is not open");
        return -1;
    }
    lib.synthesiser->flush();
    return 0;
}

__attribute__((visibility("default"))) int read_MBR(short* buffer, int max)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!lib.synthesiser) {
        set_error(lib, SynthError::NotInitialised, "the database is not open");
        return -1;
    }
    if (!buffer || max < 0) {
        set_error(lib, SynthError::Argument, "bad read buffer");
        return -1;
    }
    return int(lib.synthesiser->read(buffer, size_t(max)));
}

__attribute__((visibility("default"))) int readtype_MBR(void* buffer, int max, int type)
{
    if (type == MBR_LIN16)
        return read_MBR(static_cast<short*>(buffer), max);
    Library& lib = library();
    if (type != MBR_LIN8 || !buffer || max < 0) {
        std::lock_guard guard(lib.lock);
        set_error(lib, SynthError::Argument, "bad read type or buffer");
        return -1;
    }
    std::vector<short> wide(size_t(std::min(max, 1 << 20)));
    int count = read_MBR(wide.data(), int(wide.size()));
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>((wide[size_t(i)] >> 8) + 128);
    return count;
}

__attribute__((visibility("default"))) int lastError_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    return int(current_error(lib));
}

__attribute__((visibility("default"))) int lastErrorStr_MBR(char* buffer, int size)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    bool from_synthesiser = lib.synthesiser && lib.synthesiser->last_error() != SynthError::None;
    return copy_text(from_synthesiser ? lib.synthesiser->last_error_text() : lib.error_text, buffer, size);
}

__attribute__((visibility("default"))) void setNoError_MBR(int no_error)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    lib.no_error = no_error != 0;
    if (lib.synthesiser)
        lib.synthesiser->set_no_error(lib.no_error);
}

__attribute__((visibility("default"))) int getNoError_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    return lib.no_error ? 1 : 0;
}

__attribute__((visibility("default"))) void setFreq_MBR(int frequency)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    lib.frequency = std::clamp(frequency, 4000, 48000);
    if (lib.synthesiser)
        lib.synthesiser->set_output_rate(lib.frequency);
}

__attribute__((visibility("default"))) int getFreq_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    return lib.frequency;
}

__attribute__((visibility("default"))) void setVolumeRatio_MBR(float ratio)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!std::isfinite(ratio))
        return;
    lib.volume = std::clamp(ratio, 0.0f, 16.0f);
    if (lib.synthesiser)
        lib.synthesiser->set_volume(lib.volume);
}

__attribute__((visibility("default"))) float getVolumeRatio_MBR(void)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    return lib.volume;
}

__attribute__((visibility("default"))) int getVersion_MBR(char* buffer, int size)
{
    return copy_text(version_text, buffer, size);
}

__attribute__((visibility("default"))) int getDatabaseInfo_MBR(char* buffer, int size, int index)
{
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    if (!lib.database) {
        set_error(lib, SynthError::NotInitialised, "the database is not open");
        return -1;
    }
    std::vector<std::string> lines;
    std::istringstream description(lib.database->description());
    for (std::string line; std::getline(description, line);)
        lines.push_back(line);
    lines.push_back(std::to_string(lib.database->size()) + " diphones, natural pitch "
        + std::to_string(lib.database->natural_pitch()) + " Hz, 16000 samples per second");
    if (index < 0 || size_t(index) >= lines.size())
        return -1;
    return copy_text(lines[size_t(index)], buffer, size);
}

__attribute__((visibility("default"))) int setParser_MBR(void* parser)
{
    if (!parser)
        return 0;
    Library& lib = library();
    std::lock_guard guard(lib.lock);
    set_error(lib, SynthError::Argument, "only the built-in line parser exists");
    return -1;
}

__attribute__((visibility("default"))) void* init_Phone(const char* name, float duration_ms)
{
    if (!name || !std::isfinite(duration_ms) || duration_ms < 0)
        return nullptr;
    std::string text(name, strnlen(name, max_name_length + 1));
    if (!is_phoneme_name(text))
        return nullptr;
    auto* phone = new Phone;
    phone->line.name = text;
    phone->line.duration_ms = std::min(double(duration_ms), max_duration_ms);
    return phone;
}

__attribute__((visibility("default"))) void reset_Phone(void* phone)
{
    if (phone)
        static_cast<Phone*>(phone)->line.points.clear();
}

__attribute__((visibility("default"))) void close_Phone(void* phone)
{
    delete static_cast<Phone*>(phone);
}

__attribute__((visibility("default"))) int appendf0_Phone(void* phone, float percent, float pitch_hz)
{
    if (!phone || !std::isfinite(percent) || !std::isfinite(pitch_hz) || pitch_hz <= 0)
        return -1;
    auto& points = static_cast<Phone*>(phone)->line.points;
    if (points.size() >= max_pitch_points)
        return -1;
    points.push_back({ std::clamp(double(percent), 0.0, 100.0), std::clamp(double(pitch_hz), min_pitch_hz,
                                                                       max_pitch_hz) });
    return int(points.size());
}

}
