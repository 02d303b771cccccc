// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog: the program's window procedure, its commands and the flags it owns.
#include "platform/Window.h"

namespace q60 {

// Set once the dialog exists; repaint requests and camera frames wait for it.
extern WindowHandle mainWindow;

// Transmission on (the TX button) and reception on (the RX button); window thread only.
extern bool txActive;
extern bool rxActive;

// The one dispatcher of the dialog's messages: start-up, every command (menu items,
// buttons and the commands the settings file issues), sliders, painting and shut-down.
void mainWindowProc(WindowHandle window, const WindowMessage& message);

}  // namespace q60
