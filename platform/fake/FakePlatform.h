// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test platform: every call the logic makes is appended to one log, in order.
#include <string>
#include <vector>

#include "platform/Window.h"

namespace q60::fake {

// Calls made on the test's own thread (the window thread), in order.
std::vector<std::string>& callLog();

// Calls made on any other thread (the transmit feeder), in order. A copy: take it
// once those threads have ended.
std::vector<std::string> threadLog();

// Appends to callLog or threadLog, whichever belongs to the calling thread.
void log(const std::string& call);

// The one window the fake has, and the procedure that commands sent to it reach
// (none by default: commands are only logged).
WindowHandle window();
void setWindowProc(WindowProc procedure);

}  // namespace q60::fake
