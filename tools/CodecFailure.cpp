// SPDX-License-Identifier: GPL-3.0-or-later
// Failure reporting shared by the codec tool's audio and picture code.
#include "tools/CodecFailure.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace q60 {

bool reportFailure(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "quorrel60-codec: %s: %s\n", file.c_str(), reason.c_str());
    return false;
}

void discardPartialOutput(const std::string& path)
{
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
}

}  // namespace q60
