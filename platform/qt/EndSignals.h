// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The watch on SIGTERM, SIGINT and SIGHUP that deliverEndSignals (platform/Desktop.h) starts.

namespace q60 {

// Gives the signals back their earlier handling and closes the wake-up pipe.
void stopEndSignals();

}  // namespace q60
