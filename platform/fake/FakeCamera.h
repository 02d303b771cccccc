// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake camera: scripted drivers, a capture window that logs
// every request, and frames delivered on the test's own thread.
#include <string>

#include "platform/Camera.h"

namespace q60::fake {

// What one installed driver reports once connected.
struct FakeDriver {
    std::string name;
    DriverCaps caps;
    uint32_t imageWidth = 160;
    uint32_t imageHeight = 120;
    bool connects = true;
};

// Installs a driver at index 0 or 1; none is installed at first.
void installDriver(int index, const FakeDriver& driver);
void failCaptureWindowCreation();
// The format dialog's answer (cancelled by default); a completed dialog gives the
// connected driver this image size.
void answerFormatDialog(bool completed, uint32_t width, uint32_t height);

// The registered frame callback's answer to this frame; -1 when none is registered.
int deliverFrame(const CaptureFrame& frame);

CaptureWindowHandle captureWindowHandle();
// Where the capture window is and whether its preview runs.
struct CaptureWindowPlace {
    int x, y, width, height;
};
CaptureWindowPlace captureWindowPlace();
bool previewOn();

}  // namespace q60::fake
