#pragma once
// Turns the 80x60 grey TxFrame into one frame of frequency-modulated tone.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

inline constexpr int pixelsPerLine = 80;
inline constexpr int txFrameLines = 60;
inline constexpr int txFrameBytes = pixelsPerLine * txFrameLines;
inline constexpr int frameSamples = 9600;       // one frame of tone, about 0.871 s
inline constexpr int sampleRate = 11025;        // samples per second, sent and received
inline constexpr int synthBufferBytes = 22500;  // also the looping playback buffer's size

// The picture being sent: pixel i of line n at 80 * n + i, 0 black to 255 white.
// Atomic bytes: the window thread replaces it while the feeder thread reads it.
extern std::atomic<uint8_t> TxFrame[txFrameBytes];

// Memory of synthBufferBytes obtained while transmitting; each frame is built at its start.
extern uint8_t* synthBuffer;

// Copies length bytes (at most txFrameBytes) into the TxFrame from its first byte.
void setTxFrame(const uint8_t* source, size_t length);

// Builds one frame of tone at the start of synthBuffer; returns the bytes written
// (frameSamples), or 0 when there is no synthBuffer.
int modulateFrame();

// The TestPic command: the test ramp replaces the picture while the item is marked.
void testPicCommand(WindowHandle window);

}  // namespace q60
