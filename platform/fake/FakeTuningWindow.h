// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake tuning window.
#include "platform/TuningWindow.h"

namespace q60::fake {

bool tuningWindowShown();
// The picture it was last given.
TuningPicture tuningWindowPicture();

}  // namespace q60::fake
