// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the capture window and what it last reported: its driver's capabilities and
// its status. The main dialog's camera commands call it on the window thread.
#include "video/VideoSource.h"

#include "tx/ToneFormat.h"

namespace q60 {

namespace {

// Where a completed format dialog leaves the window until the next driver change.
constexpr int formatDialogX = 170;
constexpr int previewRateMs = 200;

// Running state, for the whole run; the records stay as they are when the window
// does not answer.
CaptureWindowHandle captureWindow = nullptr;
DriverCaps driverCaps;
CaptureStatus captureStatus;

// Only ever to the reported image size, without moving; every caller moves it back
// to 160 x 120 afterwards, so a larger image shows cut rather than scaled.
void fitToImage()
{
    if (isCaptureWindow(captureWindow))
        resizeCaptureWindow(captureWindow, static_cast<int>(captureStatus.imageWidth),
                            static_cast<int>(captureStatus.imageHeight));
}

void readStatus()
{
    if (isCaptureWindow(captureWindow))
        getCaptureStatus(captureWindow, captureStatus);
}

}  // namespace

void createVideoWindow(WindowHandle dialog, FrameCallback callback)
{
    captureWindow = createCaptureWindow(dialog, captureX, captureY, cameraWidth, cameraHeight);
    if (isCaptureWindow(captureWindow))
        setFrameCallback(captureWindow, callback);
}

bool connectVideoDriver(int index)
{
    return isCaptureWindow(captureWindow) && connectCaptureDriver(captureWindow, index);
}

const DriverCaps& readVideoCaps()
{
    if (isCaptureWindow(captureWindow))
        getDriverCaps(captureWindow, driverCaps);
    return driverCaps;
}

void startVideoPreview()
{
    readStatus();
    fitToImage();
    if (isCaptureWindow(captureWindow)) {
        setPreviewRate(captureWindow, previewRateMs);
        setPreview(captureWindow, true);
    }
}

void placeVideoWindow(int x)
{
    if (isCaptureWindow(captureWindow))
        moveCaptureWindow(captureWindow, x, captureY, cameraWidth, cameraHeight);
}

void previewCommand()
{
    readStatus();
    if (isCaptureWindow(captureWindow))
        setPreview(captureWindow, !captureStatus.liveWindow);
}

void overlayCommand()
{
    readStatus();
    if (isCaptureWindow(captureWindow))
        setOverlay(captureWindow, !captureStatus.overlayWindow);
}

void videoFormatCommand()
{
    if (!driverCaps.hasFormatDialog)
        return;
    if (!isCaptureWindow(captureWindow) || !showFormatDialog(captureWindow))
        return;
    readStatus();
    fitToImage();
    placeVideoWindow(formatDialogX);
}

}  // namespace q60
