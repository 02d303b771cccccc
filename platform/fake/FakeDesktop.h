// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test desktop: a scripted directory lock and end signals sent by the test.
#include "platform/Desktop.h"

namespace q60::fake {

// What lockWorkingDirectory answers; Taken unless a test says otherwise.
void setDirectoryLock(DirectoryLock answer);

// Runs the handler given to deliverEndSignals, as the event loop would after a
// signal; does nothing before it is given.
void sendEndSignal();

}  // namespace q60::fake
