// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The working directory's lock file, taken by lockWorkingDirectory (platform/Desktop.h).

namespace q60 {

// Removes the lock file if this process holds it.
void unlockWorkingDirectory();

}  // namespace q60
