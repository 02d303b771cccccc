// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The camera as the video source needs it: a preview child window of the main dialog
// that connects one of the installed cameras ("drivers" 0 and 1), shows its live
// picture, and hands every preview frame to a registered function on the window thread.
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

struct CaptureWindow;
using CaptureWindowHandle = CaptureWindow*;

// What the connected driver offers. Overlay is never available on this platform;
// the format dialog is, when the camera reports formats.
struct DriverCaps {
    bool hasOverlay = false;
    bool hasFormatDialog = false;
    bool hasSourceDialog = false;
    bool hasDisplayDialog = false;
};

// What the capture window reports: the size of the images it receives (0 by 0 when
// it knows none yet) and whether preview and overlay are on.
struct CaptureStatus {
    uint32_t imageWidth = 0;
    uint32_t imageHeight = 0;
    bool liveWindow = false;
    bool overlayWindow = false;
};

// One preview frame: a bottom-up 24-bit BGR bitmap (first row in memory is the
// image's bottom row, rows padded to 4 bytes), bufferLength its real size in bytes.
struct CaptureFrame {
    const uint8_t* data;
    uint32_t bufferLength;
};

// Called on the window thread with each preview frame; the result is the callback's
// own (1 handled, 0 not), which the capture window ignores.
using FrameCallback = int (*)(CaptureWindowHandle window, const CaptureFrame& frame);

// A visible child window of the dialog at x, y in client pixels; null on failure.
CaptureWindowHandle createCaptureWindow(WindowHandle parent, int x, int y, int width, int height);
// True while the handle names a capture window that still exists.
bool isCaptureWindow(CaptureWindowHandle window);

// The name of the driver at index 0 or 1; false when there is none at that index.
// The name is cut to fit nameSize bytes, terminator included.
bool captureDriverName(int index, char* name, int nameSize);

// Requests, each on an existing capture window.
void setFrameCallback(CaptureWindowHandle window, FrameCallback callback);
// Disconnects the driver connected before, then connects this one; false when
// there is no driver at the index or it cannot be opened.
bool connectCaptureDriver(CaptureWindowHandle window, int index);
// Fill the record and return true, or leave it as it was and return false when
// no driver is connected.
bool getDriverCaps(CaptureWindowHandle window, DriverCaps& caps);
bool getCaptureStatus(CaptureWindowHandle window, CaptureStatus& status);
void setPreviewRate(CaptureWindowHandle window, int milliseconds);
void setPreview(CaptureWindowHandle window, bool on);
void setOverlay(CaptureWindowHandle window, bool on);
// The driver's modal format dialog; true when the user completed it with a choice.
bool showFormatDialog(CaptureWindowHandle window);

// Resizes without moving; moves and resizes, then repaints.
void resizeCaptureWindow(CaptureWindowHandle window, int width, int height);
void moveCaptureWindow(CaptureWindowHandle window, int x, int y, int width, int height);

}  // namespace q60
