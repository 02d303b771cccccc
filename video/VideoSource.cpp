// Consumes the menu commands about the camera and the drivers the platform finds;
// produces the menu's driver items, marks and greying, the capture window's place,
// and the VideoDriver setting. The main dialog calls it on the window thread.
#include "video/VideoSource.h"

#include <cstdint>
#include <cstdio>

#include "app/Resources.h"
#include "app/Settings.h"
#include "video/FrameGrabber.h"

namespace q60 {

namespace {

// Where the capture window sits, in client pixels, and where a completed format
// dialog leaves it until the next driver change.
constexpr int captureX = previewX;
constexpr int captureY = previewY;
constexpr int formatDialogX = 170;
constexpr int captureWidth = 160;
constexpr int captureHeight = 120;
constexpr int previewRateMs = 200;

constexpr int driverCount = 2;
constexpr int driverNameCapacity = 80;

// Running state, for the whole run; the records stay as they are when the window
// does not answer.
CaptureWindowHandle captureWindow = nullptr;
uint16_t connectedDriver = 0;
DriverCaps driverCaps;
CaptureStatus captureStatus;

void placeCaptureWindow(int x)
{
    if (isCaptureWindow(captureWindow))
        moveCaptureWindow(captureWindow, x, captureY, captureWidth, captureHeight);
}

// Only ever to the reported image size, without moving; every caller moves it back
// to 160 x 120 afterwards, so a larger image shows cut rather than scaled.
void fitToImage(CaptureWindowHandle window)
{
    if (isCaptureWindow(window))
        resizeCaptureWindow(window, static_cast<int>(captureStatus.imageWidth),
                            static_cast<int>(captureStatus.imageHeight));
}

void readStatus(CaptureWindowHandle window)
{
    if (isCaptureWindow(window))
        getCaptureStatus(window, captureStatus);
}

bool connectDriver(int index)
{
    return isCaptureWindow(captureWindow) && connectCaptureDriver(captureWindow, index);
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
        if (found == 0 && connectDriver(index)) {
            checkMenuItem(dialog, cmdDriver0 + index, true);
            connectedDriver = static_cast<uint16_t>(index);
        }
        ++found;
    }
}

}  // namespace

void initVideoSource(WindowHandle dialog, int popup)
{
    captureWindow = createCaptureWindow(dialog, captureX, captureY, captureWidth, captureHeight);
    if (isCaptureWindow(captureWindow))
        setFrameCallback(captureWindow, frameCallback);
    enumerateDrivers(dialog, popup);
    drawMenuBar(dialog);
    refreshCaptureWindow(dialog, captureWindow, connectedDriver);
    placeCaptureWindow(captureX);
}

void refreshCaptureWindow(WindowHandle dialog, CaptureWindowHandle window, int index)
{
    if (isCaptureWindow(window))
        getDriverCaps(window, driverCaps);
    enableMenuItem(dialog, cmdOverlay, driverCaps.hasOverlay);
    enableMenuItem(dialog, cmdVideoFormat, driverCaps.hasFormatDialog);
    enableMenuItem(dialog, cmdVideoSource, driverCaps.hasSourceDialog);
    enableMenuItem(dialog, cmdVideoDisplay, driverCaps.hasDisplayDialog);
    readStatus(window);
    fitToImage(window);
    if (isCaptureWindow(window)) {
        setPreviewRate(window, previewRateMs);
        setPreview(window, true);
    }
    checkMenuItem(dialog, cmdDriver0 + index, true);
}

void previewCommand()
{
    readStatus(captureWindow);
    if (isCaptureWindow(captureWindow))
        setPreview(captureWindow, !captureStatus.liveWindow);
}

void overlayCommand()
{
    readStatus(captureWindow);
    if (isCaptureWindow(captureWindow))
        setOverlay(captureWindow, !captureStatus.overlayWindow);
}

void videoFormatCommand()
{
    if (!driverCaps.hasFormatDialog)
        return;
    if (!isCaptureWindow(captureWindow) || !showFormatDialog(captureWindow))
        return;
    readStatus(captureWindow);
    fitToImage(captureWindow);
    placeCaptureWindow(formatDialogX);
}

void selectDriver(WindowHandle dialog, int k)
{
    checkMenuItem(dialog, cmdDriver0, k == 0);
    checkMenuItem(dialog, cmdDriver1, k == 1);
    VideoDriver = k;
    if (connectedDriver == k)
        return;
    connectedDriver = static_cast<uint16_t>(k);
    connectDriver(k);
    drawMenuBar(dialog);
    refreshCaptureWindow(dialog, captureWindow, k);
    placeCaptureWindow(captureX);
}

}  // namespace q60
