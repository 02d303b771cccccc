// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A radio keyed by its own CAT command: opened, keyed, read back and closed. Every
// call is bounded in time, so a rig or rig server that stops answering costs a
// fraction of a second, never a hung window.
#include <string>

namespace q60 {

struct Rig;
using RigHandle = Rig*;

// Opens the rig of this Hamlib model number on device (a serial path, or host:port
// for a rig server); baud 0 keeps the model's own rate. Null, with why in error,
// when it does not answer.
RigHandle openRig(int model, const std::string& device, int baud, std::string& error);

// Keys or releases the transmitter; false, with why in error, when the rig refused
// or did not answer.
bool setRigPtt(RigHandle rig, bool keyed, std::string& error);

// The rig's own reading of its transmitter: 1 keyed, 0 not, rigPttUnknown when the
// rig cannot tell, rigPttLost when it did not answer.
inline constexpr int rigPttUnknown = -1;
inline constexpr int rigPttLost = -2;
int rigPtt(RigHandle rig);

void closeRig(RigHandle rig);

}  // namespace q60
