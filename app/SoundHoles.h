// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The holes in the sound since TX and RX went on, shown on the level bar's tip so
// that a lost or repeated stretch of tone is never silent.
#include "platform/Window.h"

namespace q60 {

// Brings the tip up to date; called on every timer tick.
void showSoundHoles(WindowHandle window);

}  // namespace q60
