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

// Copies length bytes into the playing buffer at offset, wrapping at its end; true
// only when the whole length was placed.
bool writeBlock(const uint8_t* source, uint32_t length, uint32_t offset);

// The feeder's frame step: one frame of tone written behind the previous one.
void sendFrame();

// The feeder thread: writes a frame whenever little unplayed tone is left.
uint32_t feederThread(void* parameter);

// The TX button: transmission and push-to-talk on or off.
void txCommand(WindowHandle window);

// Holes in the tone since TX on (0 while off).
uint32_t txHoles();

// The playback device failed: the radio must not stay keyed without tone.
void playbackLost();

}  // namespace q60
