#pragma once
// The camera side of the main dialog: the capture window with its live preview, the
// capture drivers in the "&Options" menu, and the preview, overlay, format and
// driver commands.
#include "platform/Camera.h"
#include "platform/Window.h"

namespace q60 {

// Creates the capture window, registers the frame grabber, lists drivers 0 and 1 in
// the given popup, connects the first one found and places the window; once, at start.
void initVideoSource(WindowHandle dialog, int popup);

// Brings the menu and the capture window up to date with the driver at index.
void refreshCaptureWindow(WindowHandle dialog, CaptureWindowHandle window, int index);

// Commands 131 "&Preview" and 132 "&Overlay": toggle against what the window reports.
void previewCommand();
void overlayCommand();
// Command 134 "Video &Format...": the driver's own dialog, then the window resized.
void videoFormatCommand();
// Commands 151 and 152: driver k becomes the choice, connected unless it already is.
void selectDriver(WindowHandle dialog, int k);

}  // namespace q60
