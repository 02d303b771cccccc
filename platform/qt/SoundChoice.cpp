// SPDX-License-Identifier: GPL-3.0-or-later
// The station's choice of sound card, kept for the next TX or RX on. Window thread.
#include "platform/SoundChoice.h"

namespace q60 {
namespace {

SoundChoice current;

}  // namespace

void chooseSoundDevices(const SoundChoice& choice) { current = choice; }
SoundChoice chosenSoundDevices() { return current; }

}  // namespace q60
