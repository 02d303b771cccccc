#pragma once
// Receive capture: records the default capture device while the receiver is on and,
// on every timer tick, drains what arrived through the receive chain.
#include <cstdint>

#include "platform/Window.h"

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

// The 500 ms timer: drain, then show the input level.
void rxTimerTick(WindowHandle window);

// Holes in the recording since RX on (0 while off).
uint32_t rxHoles();

// The RX button: reception on or off.
void onRxButton(WindowHandle window);

}  // namespace q60
