// SPDX-License-Identifier: GPL-3.0-or-later
// The camera commands of the main dialog, on the window thread: the driver items of
// the "&Options" menu with their marks and greying, the VideoDriver setting, and the
// frame callback that hands camera pictures to the frame grabber.
#include "app/CameraCommands.h"

#include <cstdint>
#include <cstdio>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "app/TxPicture.h"
#include "tx/ToneFormat.h"
#include "video/FrameGrabber.h"
#include "video/VideoSource.h"

namespace q60 {
namespace {

constexpr int driverCount = 2;
constexpr int driverNameCapacity = 80;

const char* const wrongFormatWarning = "Set Capture to 160 * 120, 24bit color";

// The driver the menu marks as connected.
uint16_t connectedDriver = 0;

// Brings the menu and the capture window up to date with the driver at index.
void refreshCaptureWindow(WindowHandle dialog, int index)
{
    const DriverCaps& caps = readVideoCaps();
    enableMenuItem(dialog, cmdOverlay, caps.hasOverlay);
    enableMenuItem(dialog, cmdVideoFormat, caps.hasFormatDialog);
    enableMenuItem(dialog, cmdVideoSource, caps.hasSourceDialog);
    enableMenuItem(dialog, cmdVideoDisplay, caps.hasDisplayDialog);
    startVideoPreview();
    checkMenuItem(dialog, cmdDriver0 + index, true);
}

// Lists drivers 0 and 1 and connects the first one found; when that one fails, no
// other is tried.
void enumerateDrivers(WindowHandle dialog, int popup)
{
    int found = 0;
    for (int index = 0; index < driverCount; ++index) {
        char name[driverNameCapacity];
        if (!captureDriverName(index, name, driverNameCapacity))
            continue;
        char text[driverNameCapacity + 16];
        std::snprintf(text, sizeof text, "&%d %s", index, name);
        appendMenuItem(dialog, popup, cmdDriver0 + index, text);
        if (found == 0 && connectVideoDriver(index)) {
            checkMenuItem(dialog, cmdDriver0 + index, true);
            connectedDriver = static_cast<uint16_t>(index);
        }
        ++found;
    }
}

}  // namespace

void initVideoSource(WindowHandle dialog, int popup)
{
    createVideoWindow(dialog, frameCallback);
    enumerateDrivers(dialog, popup);
    drawMenuBar(dialog);
    refreshCaptureWindow(dialog, connectedDriver);
    placeVideoWindow(captureX);
}

void selectDriver(WindowHandle dialog, int k)
{
    checkMenuItem(dialog, cmdDriver0, k == 0);
    checkMenuItem(dialog, cmdDriver1, k == 1);
    VideoDriver = k;
    if (connectedDriver == k)
        return;
    connectedDriver = static_cast<uint16_t>(k);
    connectVideoDriver(k);
    drawMenuBar(dialog);
    refreshCaptureWindow(dialog, k);
    placeVideoWindow(captureX);
}

int frameCallback(CaptureWindowHandle, const CaptureFrame& frame)
{
    if (mainWindow == nullptr)
        return 0;
    if (frame.bufferLength != cameraFrameBytes) {
        setCaption(mainWindow, wrongFormatWarning);
        return 1;
    }
    if (txActive && !pictureFileSent())
        reduceFrame(frame.data);
    return 1;
}

}  // namespace q60
