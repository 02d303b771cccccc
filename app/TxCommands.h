// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transmit side of the main dialog's commands: the TX button, the "TX Port"
// items, TestPic, and the loss of the playback device.
#include "platform/Window.h"

namespace q60 {

// The TX button: transmission and push-to-talk on or off.
void txCommand(WindowHandle window);

// The playback device failed: the radio must not stay keyed without tone.
void playbackLost();

// The "TX Port" commands: cmdPortNone, cmdPortCom1 and cmdPortCom2.
void portCommand(WindowHandle window, int id);

// Shows on the "COM 1" and "COM 2" items which device each stands for.
void describePorts(WindowHandle window);

// The TestPic command: the test ramp replaces the picture while the item is marked.
void testPicCommand(WindowHandle window);

}  // namespace q60
