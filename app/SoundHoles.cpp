// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the hole counts of the transmit and receive devices at each timer tick and
// shows them on the level bar's tip. Window thread.
#include "app/SoundHoles.h"

#include <string>

#include "app/MainDialog.h"
#include "platform/StationWindow.h"
#include "rx/RxRecorder.h"
#include "tx/TxStreamer.h"

namespace q60 {
namespace {

std::string shownTip;

std::string holesLine(const char* side, bool active, uint32_t holes)
{
    if (!active)
        return std::string(side) + ": off";
    return std::string(side) + ": " + std::to_string(holes) + (holes == 1 ? " hole" : " holes") + " since on";
}

}  // namespace

void showSoundHoles(WindowHandle window)
{
    const std::string tip = holesLine("TX", txActive, txHoles()) + "\n" + holesLine("RX", rxActive, rxHoles());
    if (tip == shownTip)
        return;
    shownTip = tip;
    setLevelBarTip(window, tip.c_str());
}

}  // namespace q60
