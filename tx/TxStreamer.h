// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Transmit streaming: plays the frames of tone without a break through the default
// playback device while transmission is on.
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

inline constexpr uint32_t leadThreshold = 3500;  // bytes of unplayed tone that call for a frame

// Obtains the synthesis memory, the device and its looping buffer, and starts the
// feeder thread; on any failure releases what it obtained and returns false.
bool startTx(WindowHandle window);

// Stops the buffer and the feeder, then releases everything startTx obtained.
// Blocks the calling thread for about one second.
void stopTx();

// Holes in the tone since TX on (0 while off).
uint32_t txHoles();

}  // namespace q60
