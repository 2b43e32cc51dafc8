// SPDX-License-Identifier: GPL-3.0-or-later
// ScratchFolder: a temporary folder for one test, with helpers to write, read and run tools on files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace test_support {

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "console-test-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            m_path = made;
    }
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    static void write(const std::filesystem::path& path, std::string_view bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Runs a shell command made only of this test's own fixed text and
    // scratch paths (never data under test); true when it exited with 0.
    static bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

    std::string quoted(std::string_view name) const { return "'" + (m_path / name).string() + "'"; }

private:
    std::filesystem::path m_path;
};

// Random bytes of a random length up to `max_length`, biased towards the
// bytes that encoders treat specially.
inline std::string random_bytes(std::mt19937& generator, size_t max_length)
{
    std::uniform_int_distribution<size_t> length_of(0, max_length);
    std::uniform_int_distribution<int> byte_of(0, 255);
    std::uniform_int_distribution<int> special_of(0, 7);
    constexpr char specials[] = { '=', '\r', '\n', ' ', '\0', '\x7F', '\xFF', '\x80' };
    std::string bytes(length_of(generator), '\0');
    for (char& c : bytes)
        c = special_of(generator) == 0 ? specials[special_of(generator)] : static_cast<char>(byte_of(generator));
    return bytes;
}

}
