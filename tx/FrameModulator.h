// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the 80x60 grey TxFrame into one frame of frequency-modulated tone.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "tx/ToneFormat.h"

namespace q60 {

inline constexpr int synthBufferBytes = 22500;  // also the looping playback buffer's size

// The picture being sent: pixel i of line n at 80 * n + i, 0 black to 255 white.
// Atomic bytes: the window thread replaces it while the feeder thread reads it.
extern std::atomic<uint8_t> TxFrame[txFrameBytes];

// The TestPic mark: the test ramp replaces the picture while it is set. Atomic
// because the transmit feeder thread reads it at every pixel while the window
// thread toggles it.
extern std::atomic<bool> testPicture;

// Memory of synthBufferBytes obtained while transmitting; each frame is built at its start.
extern uint8_t* synthBuffer;

// The grey sent for pixel i of TxFrame line n: the TxFrame's, the test ramp's while
// testPicture is set, the call sign's where it lies over them. Any thread.
uint8_t sentGrey(int n, int i);

// Copies length bytes (at most txFrameBytes) into the TxFrame from its first byte.
void setTxFrame(const uint8_t* source, size_t length);

// Builds one frame of tone at the start of synthBuffer; returns the bytes written
// (frameSamples), or 0 when there is no synthBuffer.
int modulateFrame();

}  // namespace q60
