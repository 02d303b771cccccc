// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The [ptt] group of "station.ini": how push-to-talk keys the radio.
#include "platform/StationFile.h"
#include "tx/PttControl.h"

namespace q60 {

// The choice these entries describe; anything missing or not understood is the
// default (RTS and DTR raised on the TX Port's COM n).
PttChoice pttChoiceFrom(const StationEntries& entries);

// The entries that store a choice.
StationEntries pttEntriesOf(const PttChoice& choice);

// At start, before the saved TX Port is opened.
void readPttSettings();

}  // namespace q60
