// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line below the dialog that always shows whether TX and RX are on and whether
// push-to-talk is keyed, unkeyed or cannot key.
#include <string>

#include "platform/Window.h"

namespace q60 {

// The line's text, from the current state: "TX on   RX off   PTT keyed".
std::string statusLineText();

// Brings the line and its tip (what keys the radio, or why it cannot) up to date.
void showStatusLine(WindowHandle window);

}  // namespace q60
