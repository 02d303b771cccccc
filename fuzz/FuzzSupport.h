// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a scratch directory for the files the code under test
// reads and writes, whole-file writes and reads, and a check that ends the run so
// libFuzzer keeps the input as a crash.
#include <cstddef>
#include <cstdint>
#include <string>

namespace q60::fuzz {

// Makes a fresh directory under $TMPDIR (or /tmp), once per process; it is removed
// when the process exits normally.
void makeScratchDirectory();

// The absolute path of a file in the scratch directory.
std::string scratchPath(const char* name);

// Makes the scratch directory the working directory for its lifetime (one run), then
// goes back, so libFuzzer's own relative paths (corpus, artifacts) keep their meaning.
class InScratchDirectory {
public:
    InScratchDirectory();
    ~InScratchDirectory();
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

private:
    int previous_;
};

// Replaces the file at path with exactly these bytes; a failure to write ends the run.
void writeWholeFile(const std::string& path, const uint8_t* data, size_t size);

// The whole file, or "" when it cannot be read.
std::string readWholeFile(const std::string& path);

// Reports what was found broken and aborts.
[[noreturn]] void fail(const std::string& what);

inline void check(bool holds, const char* what)
{
    if (!holds)
        fail(what);
}

}  // namespace q60::fuzz
