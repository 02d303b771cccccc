// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Desktop.h, and of the main dialog's run as start-up
// sees it: each call is logged, the lock answers as scripted.
#include "platform/fake/FakeDesktop.h"

#include <string>

#include "platform/Window.h"
#include "platform/fake/FakePlatform.h"

namespace q60::fake {
namespace {

DirectoryLock lockAnswer = DirectoryLock::Taken;
void (*endHandler)() = nullptr;

}  // namespace

void setDirectoryLock(DirectoryLock answer) { lockAnswer = answer; }

void sendEndSignal()
{
    if (endHandler != nullptr)
        endHandler();
}

}  // namespace q60::fake

namespace q60 {

using fake::log;

int runDesktopProgram(int (*body)())
{
    log("runDesktopProgram");
    return body();
}

DirectoryLock lockWorkingDirectory()
{
    log("lockWorkingDirectory");
    return fake::lockAnswer;
}

void showStartupMessage(const char* text) { log(std::string("showStartupMessage ") + text); }

void deliverEndSignals(void (*handler)())
{
    log("deliverEndSignals");
    fake::endHandler = handler;
}

int runMainDialog(const DialogTemplate&, WindowProc)
{
    log("runMainDialog");
    return 0;
}

}  // namespace q60
