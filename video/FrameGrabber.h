// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reduces a 160x120 24-bit camera frame to the 80x60 grey picture that is transmitted.
#include <cstdint>

#include "tx/ToneFormat.h"

namespace q60 {

// One pixel fetch: the sum of the three colours, then the colours themselves.
struct PixelSample {
    int32_t sum;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Pixel (x, y) of a frame of cameraFrameBytes (blue, green, red; rows in memory
// order); outside the frame, a record of zeros.
PixelSample samplePixel(const uint8_t* frame, int x, int y);

// Every second pixel of every second row, grey = (blue + green + red) / 3, into the
// grabber's picture, which then replaces the TxFrame.
void reduceFrame(const uint8_t* frame);

}  // namespace q60
