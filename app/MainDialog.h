#pragma once
// The main dialog: the program's window procedure, its commands and the flags it owns.
#include <atomic>

#include "platform/Window.h"

namespace q60 {

// Set once the dialog exists; repaint requests and camera frames wait for it.
extern WindowHandle mainWindow;

// Transmission on (the TX button) and reception on (the RX button); window thread only.
extern bool txActive;
extern bool rxActive;

// The TestPic menu item's mark. Atomic because the transmit feeder thread
// reads it at every pixel while the window thread toggles it.
extern std::atomic<bool> testPicture;

// The one dispatcher of the dialog's messages: start-up, every command (menu items,
// buttons and the commands the settings file issues), sliders, painting and shut-down.
void mainWindowProc(WindowHandle window, const WindowMessage& message);

}  // namespace q60
