#pragma once
// The test platform: every call the logic makes is appended to one log, in order.
#include <string>
#include <vector>

#include "platform/Window.h"

namespace q60::fake {

std::vector<std::string>& callLog();

// The one window the fake has, and the procedure that commands sent to it reach
// (none by default: commands are only logged).
WindowHandle window();
void setWindowProc(WindowProc procedure);

}  // namespace q60::fake
