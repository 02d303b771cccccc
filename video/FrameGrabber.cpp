// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes camera frames (bottom-up BGR, as a capture driver delivers them);
// produces the TxFrame through setTxFrame. The window's frame callback calls it
// on the window thread while transmitting.
#include "video/FrameGrabber.h"

#include "tx/FrameModulator.h"

namespace q60 {

namespace {

// Built whole before it is handed over, so the feeder thread only ever sees
// complete pictures, at worst a mixture of two.
uint8_t grabPicture[txFrameBytes] = {};

}  // namespace

PixelSample samplePixel(const uint8_t* frame, int x, int y)
{
    if (x < 0 || x >= cameraWidth || y < 0 || y >= cameraHeight)
        return PixelSample{0, 0, 0, 0};
    const uint8_t* pixel = frame + 3 * (y * cameraWidth + x);
    return PixelSample{pixel[0] + pixel[1] + pixel[2], pixel[2], pixel[1], pixel[0]};
}

void reduceFrame(const uint8_t* frame)
{
    for (int i = 0; i < pixelsPerLine; ++i) {
        for (int j = 0; j < txFrameLines; ++j)
            grabPicture[i + pixelsPerLine * j] = static_cast<uint8_t>(samplePixel(frame, 2 * i, 2 * j).sum / 3);
    }
    setTxFrame(grabPicture, txFrameBytes);
}

}  // namespace q60
