// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The [ptt] group of "station.ini": how push-to-talk keys the radio.
#include "platform/StationFile.h"
#include "platform/Window.h"
#include "tx/PttControl.h"

namespace q60 {

inline constexpr int cmdPushToTalk = 40110;  // Station > Push-to-Talk...

// The choice these entries describe; anything missing or not understood is the
// default (RTS and DTR raised on the TX Port's COM n).
PttChoice pttChoiceFrom(const StationEntries& entries);

// The entries that store a choice.
StationEntries pttEntriesOf(const PttChoice& choice);

// At start, before the saved TX Port is opened.
void readPttSettings();

// Station > Push-to-Talk...: the dialog; on OK the choice is written to [ptt] and
// the checked TX Port is opened again with it, unkeyed (keyed again at once only
// while transmitting, as choosing a port does).
void pttDialogCommand(WindowHandle window);

}  // namespace q60
