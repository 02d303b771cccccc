// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's own settings ("station.ini") and the "Station" menu after the
// specified menus: which sound card transmits and receives, and the transmit level.
#include <string>

#include "platform/StationFile.h"
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdSoundDevices = 40101;
inline constexpr const char* stationPath = "station.ini";  // beside "settings.txt"
inline constexpr double lowestTxLevelDb = -40.0;

// The text of "group/key", empty when the entries have none.
std::string stationEntry(const StationEntries& entries, const char* key);

// A number as "station.ini" stores it: "-12.5", "2000".
std::string stationNumberText(double value);

// At start: the [audio] group applied to the sound devices, and the Station menu.
void initStation(WindowHandle window);

// Station > Sound Devices...: the dialog; on OK the choice is used from the next
// TX or RX on and written to "station.ini".
void soundDevicesCommand(WindowHandle window);

// A chosen sound device went away in use (soundOutputLost or soundInputLost): that
// side is turned off, push-to-talk released first, and the user is told.
void soundDeviceLost(WindowHandle window, int side);

}  // namespace q60
