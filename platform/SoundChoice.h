// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which sound card the station transmits on and receives from, and the transmit
// level; set from the station's settings, used by the next TX or RX on.
#include <string>

namespace q60 {

struct SoundChoice {
    std::string output;      // a sink name; empty for the system default
    std::string input;       // a source name (monitors too); empty for the system default
    double txLevelDb = 0.0;  // -40..0, the playback stream's volume
};

void chooseSoundDevices(const SoundChoice& choice);
SoundChoice chosenSoundDevices();

}  // namespace q60
