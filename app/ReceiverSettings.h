// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The [rx] group of "station.ini", the receiver's options, and [tx] ppm, the station's
// own clock error: read at start, set in the receiver dialog, applied at RX and TX on.
#include <string>

#include "platform/ReceiverChoice.h"
#include "platform/StationFile.h"
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdReceiver = 40120;  // Station > Receiver...

// The choice these entries describe; anything missing or not understood is that
// option's default (off).
ReceiverChoice receiverChoiceFrom(const StationEntries& entries);

// The entries that store a choice.
StationEntries receiverEntriesOf(const ReceiverChoice& choice);

// At start.
void readReceiverSettings();
ReceiverChoice chosenReceiver();

// At RX on: the receive chain set to the choice.
void applyReceiverChoice();

// Station > Receiver...: the dialog; on OK the choice is written to "station.ini"
// and applied at once while receiving ([tx] ppm at the next TX on).
void receiverDialogCommand(WindowHandle window);

// What the receiver measures while receiving: "clock +12.3 ppm" while the clock
// correction runs automatically, "offset -4.5 Hz" while the frequency control runs,
// both joined by ", ", else empty.
std::string receiverStatusText();

// At every tick: that text brought up to date in the picture window.
void showReceiverStatus();

}  // namespace q60
