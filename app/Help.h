// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Help menu, last in the menu bar: About and the user guide.
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdAbout = 40211;
inline constexpr int cmdUserGuide = 40212;

// At start, after every other menu.
void initHelp(WindowHandle window);

// Runs one of the commands above; any other ID does nothing.
void helpCommand(WindowHandle window, int id);

}  // namespace q60
