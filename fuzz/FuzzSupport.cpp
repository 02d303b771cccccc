// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch files and failure reports for the fuzz targets.
#include "fuzz/FuzzSupport.h"

#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace q60::fuzz {

namespace {

std::filesystem::path scratch;

void removeScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

}  // namespace

void makeScratchDirectory()
{
    if (!scratch.empty())
        return;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/q60-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        fail("cannot make a scratch directory from " + pattern);
    scratch = std::filesystem::absolute(pattern);
    std::atexit(removeScratch);
}

std::string scratchPath(const char* name) { return (scratch / name).string(); }

InScratchDirectory::InScratchDirectory() : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (previous_ < 0 || ::chdir(scratch.c_str()) != 0)
        fail("cannot enter the scratch directory");
}

InScratchDirectory::~InScratchDirectory()
{
    if (::fchdir(previous_) != 0)
        fail("cannot leave the scratch directory");
    ::close(previous_);
}

void writeWholeFile(const std::string& path, const uint8_t* data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot write the input file " + path);
    size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote <= 0)
            break;
        done += static_cast<size_t>(wrote);
    }
    if (::close(fd) != 0 || done != size)
        fail("cannot write the input file " + path);
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// libFuzzer's -close_fd_mask=2 sends stderr to /dev/null but keeps the sanitizer
// report going to the real one, so the message goes both ways.
void fail(const std::string& what)
{
    const std::string message = "q60 fuzz check failed: " + what;
    std::fprintf(stderr, "%s\n", message.c_str());
    __sanitizer_report_error_summary(message.c_str());
    std::abort();
}

}  // namespace q60::fuzz
