// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tone format and the picture sizes that the transmitter, the receiver, the camera
// reduction and the codec all agree on; each value is defined here and nowhere else.
#include <cstdint>

namespace q60 {

// ---- The tone: 8-bit unsigned mono ----
inline constexpr int sampleRate = 11025;        // samples per second, sent and received
inline constexpr int32_t sampleCentre = 128;    // the byte value of silence
inline constexpr int frameSamples = 9600;       // one frame of tone, about 0.871 s
inline constexpr int frameSyncSamples = 160;    // the frame sync, one line's time, opens a frame
inline constexpr int lineSamples = 160;         // one line: 80 pixels, each sent twice
inline constexpr int lineSyncPixels = 4;        // pixels 0 to 3 of a line carry the line sync
inline constexpr int sentLines = 59;            // lines of picture in one frame
// Just below 2*pi: this ten-digit wrap point is part of the tone format, for the
// transmitter's phase and the receiver's oscillator alike.
inline constexpr double phaseWrap = 6.283185307;

// ---- The TxFrame: the 80x60 grey picture being sent ----
inline constexpr int pixelsPerLine = 80;
inline constexpr int txFrameLines = 60;
inline constexpr int txFrameBytes = pixelsPerLine * txFrameLines;

// ---- The RxPicture: 160x60, 24 bits a pixel, painted with each row twice ----
inline constexpr int rxPictureWidth = 160;  // values per received line
inline constexpr int rxPictureRows = 60;
inline constexpr int rxPictureRowBytes = 3 * rxPictureWidth;
inline constexpr int rxPictureBytes = rxPictureRowBytes * rxPictureRows;
inline constexpr int paintedPictureHeight = 2 * rxPictureRows;

// ---- The camera frame the grabber reduces: 160x120, 24 bits a pixel ----
inline constexpr int cameraWidth = 160;
inline constexpr int cameraHeight = 120;
inline constexpr int cameraFrameBytes = 3 * cameraWidth * cameraHeight;

static_assert(frameSyncSamples + sentLines * lineSamples == frameSamples);
static_assert(2 * pixelsPerLine == lineSamples);

}  // namespace q60
