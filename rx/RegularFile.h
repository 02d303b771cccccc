// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the program's own files for reading, which must be plain files.
#include <cstdio>

namespace q60 {

// The file at path opened for reading, or null when it is missing, unreadable or not
// a regular file. The open never waits: a FIFO of that name would hold the window
// until a writer came, and a device may never end.
std::FILE* openRegularFile(const char* path);

}  // namespace q60
