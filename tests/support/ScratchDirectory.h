// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File helpers for tests that work in the current directory as the program does:
// a fresh working directory for one test, whole-file reads and writes, and the
// settings file a run with every default writes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace q60::test {

inline const std::string defaultSettingsText =
    "0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call\n";

// Makes a new temporary directory the working directory for its lifetime, then
// goes back and removes it.
class ScratchDirectory {
public:
    ScratchDirectory() : previous(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "q60-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        directory = pattern;
        std::filesystem::current_path(directory);
    }
    ~ScratchDirectory()
    {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return directory; }

private:
    std::filesystem::path previous;
    std::filesystem::path directory;
};

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace q60::test
