// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The camera side of the main dialog: the capture drivers in the "&Options" menu,
// the driver commands, and the frames that become the TxFrame.
#include "platform/Camera.h"
#include "platform/Window.h"

namespace q60 {

// Creates the capture window, registers the frame grabber, lists drivers 0 and 1 in
// the given popup, connects the first one found and places the window; once, at start.
void initVideoSource(WindowHandle dialog, int popup);

// Commands 151 and 152: driver k becomes the choice, connected unless it already is.
void selectDriver(WindowHandle dialog, int k);

// The capture window's frame callback, on the window thread: 0 until the main window
// is known, else 1. A frame of another size than 160x120 24-bit asks for that format
// in the caption; a right one replaces the TxFrame while transmitting.
int frameCallback(CaptureWindowHandle window, const CaptureFrame& frame);

}  // namespace q60
