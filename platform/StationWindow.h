// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station's own additions ask of the main window: a tip on the level bar,
// the "Station" menu after the specified ones, and the station's dialogs.
#include <string>
#include <vector>

#include "platform/PttChoice.h"
#include "platform/ReceiverChoice.h"
#include "platform/SoundChoice.h"
#include "platform/Window.h"

namespace q60 {

// The text shown when the pointer rests on the level bar.
void setLevelBarTip(WindowHandle window, const char* text);

// The status line below the dialog's own area, and the text shown when the pointer
// rests on it.
void setStatusLine(WindowHandle window, const char* text, const char* tip);

// A menu's item: the command it sends and its text.
struct MenuItemText {
    int id;
    const char* text;
};

// Appends a menu with these items to the menu bar, after the others.
void appendMenu(WindowHandle window, const char* text, const std::vector<MenuItemText>& items);

// The sound device dialog: the server's outputs and inputs (followed as they come and
// go) and the transmit level, with choice preselected; true, with choice set to the
// user's, on OK.
bool runSoundDevicesDialog(WindowHandle window, SoundChoice& choice);

// The push-to-talk dialog, with choice preselected; true, with choice set to the
// user's, on OK.
bool runPttDialog(WindowHandle window, PttChoice& choice);

// The receiver dialog, with choice preselected; true, with choice set to the user's,
// on OK.
bool runReceiverDialog(WindowHandle window, ReceiverChoice& choice);

}  // namespace q60
