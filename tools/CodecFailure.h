// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the codec tool reports a file it cannot use, and cleans up after a failed write.
#include <string>

namespace q60 {

// Prints "quorrel60-codec: FILE: reason" as one line on stderr; returns false so
// callers can report and fail in one statement.
bool reportFailure(const std::string& file, const std::string& reason);

// Removes an output file whose writing failed half-way, so no truncated file is
// mistaken for a good one. Devices and other special files are left alone.
void discardPartialOutput(const std::string& path);

}  // namespace q60
