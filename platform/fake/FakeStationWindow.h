// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake station additions to the window.
#include <string>
#include <vector>

#include "platform/PttChoice.h"
#include "platform/ReceiverChoice.h"
#include "platform/SoundChoice.h"

namespace q60::fake {

// How the next sound device dialogs end: OK with this choice, or Cancel.
void answerSoundDevicesDialog(bool accept, const SoundChoice& choice);
void answerPttDialog(bool accept, const PttChoice& choice);
void answerReceiverDialog(bool accept, const ReceiverChoice& choice);

// The level bar's tip as last set; the appended menus, each "text | id item | ...".
std::string levelBarTip();
std::vector<std::string> appendedMenus();

// The status line and its tip as last set.
std::string statusLine();
std::string statusLineTip();

}  // namespace q60::fake
