// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Receive capture: records the default capture device while the receiver is on and,
// on every timer tick, drains what arrived through the receive chain.
#include <cstddef>
#include <cstdint>

namespace q60 {

inline constexpr uint32_t recordBufferBytes = 22050;  // two seconds of audio

// Opens the capture device, creates and starts its looping buffer, and restores
// the default filter sets; 0 when capture runs, 1 when a step failed (nothing
// obtained is kept then).
int32_t startRx();

// Stops capture and releases the device.
void stopRx();

// Hands every byte captured since the last drain to the receive chain, in order.
void drainCapture();

// Receives every byte a drain hands to the receive chain, in order, just after it
// (nullptr for none): the one place the chain's input can be kept.
using CaptureTap = void (*)(const uint8_t* bytes, size_t count);
void setCaptureTap(CaptureTap tap);

// Holes in the recording since RX on (0 while off).
uint32_t rxHoles();

}  // namespace q60
