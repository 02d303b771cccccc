#pragma once
// Reduces a 160x120 24-bit camera frame to the 80x60 grey picture that is transmitted.
#include <cstdint>

#include "platform/Camera.h"

namespace q60 {

inline constexpr int cameraWidth = 160;
inline constexpr int cameraHeight = 120;
inline constexpr int cameraFrameBytes = 3 * cameraWidth * cameraHeight;

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

// The capture window's frame callback, on the window thread: 0 until the main window
// is known, else 1. A frame of another size than 160x120 24-bit asks for that format
// in the caption; a right one replaces the TxFrame while transmitting.
int frameCallback(CaptureWindowHandle window, const CaptureFrame& frame);

}  // namespace q60
