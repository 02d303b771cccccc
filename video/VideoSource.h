// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The camera as a device: the capture window with its live preview, the driver
// connected to it, its capabilities and status, and the commands that act on the
// camera alone. The main dialog's camera commands drive it on the window thread.
#include "platform/Camera.h"
#include "platform/Window.h"

namespace q60 {

// Where the capture window sits in the dialog's client area, in pixels.
inline constexpr int captureX = 186;
inline constexpr int captureY = 0;

// Creates the capture window at its place and registers the frame callback; once, at start.
void createVideoWindow(WindowHandle dialog, FrameCallback callback);

// Connects capture driver index to the window; false without a window or when it fails.
bool connectVideoDriver(int index);

// The connected driver's capabilities, read anew when there is a window.
const DriverCaps& readVideoCaps();

// Reads the status, fits the window to the image and runs the preview at its rate.
void startVideoPreview();

// Moves the window to x, back at 160 x 120, so a larger image shows cut, not scaled.
void placeVideoWindow(int x);

// Commands 131 "&Preview" and 132 "&Overlay": toggle against what the window reports.
void previewCommand();
void overlayCommand();
// Command 134 "Video &Format...": the driver's own dialog, then the window resized.
void videoFormatCommand();

}  // namespace q60
