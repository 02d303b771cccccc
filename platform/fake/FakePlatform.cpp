// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/*.h: records each call for the tests to inspect.
#include "platform/fake/FakePlatform.h"

#include <mutex>
#include <thread>

namespace q60 {

struct PlatformWindow {
    WindowProc procedure = nullptr;
};

}  // namespace q60

namespace q60::fake {
namespace {

PlatformWindow theWindow;

const std::thread::id windowThread = std::this_thread::get_id();
std::mutex threadLogLock;
std::vector<std::string> otherThreadsLog;

}  // namespace

std::vector<std::string>& callLog()
{
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string> threadLog()
{
    const std::lock_guard<std::mutex> guard(threadLogLock);
    return otherThreadsLog;
}

void log(const std::string& call)
{
    if (std::this_thread::get_id() == windowThread) {
        callLog().push_back(call);
        return;
    }
    const std::lock_guard<std::mutex> guard(threadLogLock);
    otherThreadsLog.push_back(call);
}

WindowHandle window() { return &theWindow; }

void setWindowProc(WindowProc procedure) { theWindow.procedure = procedure; }

}  // namespace q60::fake

namespace q60 {

using fake::log;
using std::to_string;

void sendCommand(WindowHandle window, int id)
{
    log("sendCommand " + to_string(id));
    if (window != nullptr && window->procedure != nullptr)
        window->procedure(window, WindowMessage{MessageKind::Command, id});
}

void postClose(WindowHandle) { log("postClose"); }

void postQuitMessage(int status) { log("postQuitMessage " + to_string(status)); }

void checkMenuItem(WindowHandle, int id, bool checked)
{
    log("checkMenuItem " + to_string(id) + " " + to_string(checked));
}

void enableMenuItem(WindowHandle, int id, bool enabled)
{
    log("enableMenuItem " + to_string(id) + " " + to_string(enabled));
}

void setMenuItemTip(WindowHandle, int id, const char* text)
{
    log("setMenuItemTip " + to_string(id) + " " + text);
}

void appendMenuItem(WindowHandle, int popup, int id, const char* text)
{
    log("appendMenuItem " + to_string(popup) + " " + to_string(id) + " " + text);
}

void drawMenuBar(WindowHandle) { log("drawMenuBar"); }

void showMessage(WindowHandle, const char* text) { log(std::string("showMessage ") + text); }

void setCaption(WindowHandle, const char* text) { log(std::string("setCaption ") + text); }

void repaintNow(WindowHandle window) { log(window == nullptr ? "repaintNow null" : "repaintNow"); }

void stretchBitmap(WindowHandle, int x, int y, int width, int height, const uint8_t*, int bitmapWidth,
                   int bitmapHeight)
{
    log("stretchBitmap " + to_string(x) + " " + to_string(y) + " " + to_string(width) + " " +
        to_string(height) + " " + to_string(bitmapWidth) + " " + to_string(bitmapHeight));
}

void setLevelBar(WindowHandle, int percent) { log("setLevelBar " + to_string(percent)); }

void setSliderPosition(WindowHandle, int id, int position)
{
    log("setSliderPosition " + to_string(id) + " " + to_string(position));
}

void startTimer(WindowHandle, int id, int periodMs)
{
    log("startTimer " + to_string(id) + " " + to_string(periodMs));
}

}  // namespace q60
