// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Camera.h: two driver slots the test fills, one
// capture window, every request logged.
#include "platform/fake/FakeCamera.h"

#include <cstring>
#include <optional>

#include "platform/fake/FakePlatform.h"

namespace q60 {

struct CaptureWindow {
    fake::CaptureWindowPlace place;
    FrameCallback callback = nullptr;
    int connected = -1;
    bool preview = false;
};

}  // namespace q60

namespace q60::fake {
namespace {

std::optional<FakeDriver> drivers[2];
bool creationFails = false;
bool formatDialogCompletes = false;
uint32_t formatWidth = 0;
uint32_t formatHeight = 0;
std::optional<CaptureWindow> theCaptureWindow;

FakeDriver* driverAt(int index)
{
    if (index < 0 || index > 1 || !drivers[index])
        return nullptr;
    return &*drivers[index];
}

FakeDriver* connectedDriver(CaptureWindowHandle window) { return driverAt(window->connected); }

}  // namespace

void installDriver(int index, const FakeDriver& driver) { drivers[index] = driver; }
void failCaptureWindowCreation() { creationFails = true; }

void answerFormatDialog(bool completed, uint32_t width, uint32_t height)
{
    formatDialogCompletes = completed;
    formatWidth = width;
    formatHeight = height;
}

int deliverFrame(const CaptureFrame& frame)
{
    if (!theCaptureWindow || theCaptureWindow->callback == nullptr)
        return -1;
    return theCaptureWindow->callback(&*theCaptureWindow, frame);
}

CaptureWindowHandle captureWindowHandle() { return theCaptureWindow ? &*theCaptureWindow : nullptr; }
CaptureWindowPlace captureWindowPlace() { return theCaptureWindow->place; }
bool previewOn() { return theCaptureWindow->preview; }

}  // namespace q60::fake

namespace q60 {

using fake::log;
using std::to_string;

CaptureWindowHandle createCaptureWindow(WindowHandle, int x, int y, int width, int height)
{
    std::string place = to_string(x) + " " + to_string(y) + " " + to_string(width) + " " + to_string(height);
    if (fake::creationFails) {
        log("createCaptureWindow " + place + " failed");
        return nullptr;
    }
    log("createCaptureWindow " + place);
    fake::theCaptureWindow.emplace();
    fake::theCaptureWindow->place = {x, y, width, height};
    return &*fake::theCaptureWindow;
}

bool isCaptureWindow(CaptureWindowHandle window) { return window != nullptr && window == fake::captureWindowHandle(); }

bool captureDriverName(int index, char* name, int nameSize)
{
    const fake::FakeDriver* driver = fake::driverAt(index);
    if (driver == nullptr)
        return false;
    std::strncpy(name, driver->name.c_str(), static_cast<size_t>(nameSize - 1));
    name[nameSize - 1] = '\0';
    return true;
}

void setFrameCallback(CaptureWindowHandle window, FrameCallback callback)
{
    log("setFrameCallback");
    window->callback = callback;
}

bool connectCaptureDriver(CaptureWindowHandle window, int index)
{
    const fake::FakeDriver* driver = fake::driverAt(index);
    bool connected = driver != nullptr && driver->connects;
    log("connectCaptureDriver " + to_string(index) + (connected ? "" : " failed"));
    window->connected = connected ? index : -1;
    return connected;
}

bool getDriverCaps(CaptureWindowHandle window, DriverCaps& caps)
{
    log("getDriverCaps");
    const fake::FakeDriver* driver = fake::connectedDriver(window);
    if (driver == nullptr)
        return false;
    caps = driver->caps;
    return true;
}

bool getCaptureStatus(CaptureWindowHandle window, CaptureStatus& status)
{
    log("getCaptureStatus");
    const fake::FakeDriver* driver = fake::connectedDriver(window);
    if (driver == nullptr)
        return false;
    status = CaptureStatus{driver->imageWidth, driver->imageHeight, window->preview, false};
    return true;
}

void setPreviewRate(CaptureWindowHandle, int milliseconds) { log("setPreviewRate " + to_string(milliseconds)); }

void setPreview(CaptureWindowHandle window, bool on)
{
    log("setPreview " + to_string(on));
    window->preview = on;
}

void setOverlay(CaptureWindowHandle, bool on) { log("setOverlay " + to_string(on)); }

bool showFormatDialog(CaptureWindowHandle window)
{
    fake::FakeDriver* driver = fake::connectedDriver(window);
    bool completed = driver != nullptr && fake::formatDialogCompletes;
    log(std::string("showFormatDialog") + (completed ? "" : " cancelled"));
    if (completed) {
        driver->imageWidth = fake::formatWidth;
        driver->imageHeight = fake::formatHeight;
    }
    return completed;
}

void resizeCaptureWindow(CaptureWindowHandle window, int width, int height)
{
    log("resizeCaptureWindow " + to_string(width) + " " + to_string(height));
    window->place.width = width;
    window->place.height = height;
}

void moveCaptureWindow(CaptureWindowHandle window, int x, int y, int width, int height)
{
    log("moveCaptureWindow " + to_string(x) + " " + to_string(y) + " " + to_string(width) + " " +
        to_string(height));
    window->place = {x, y, width, height};
}

}  // namespace q60
