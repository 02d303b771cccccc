// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "station.ini": the station's own settings beside "settings.txt", one group per
// concern ("audio/output" is key output of group [audio]). Every module with settings
// of its own reads the file and writes back only its keys; the rest stays as it was.
#include <map>
#include <string>

namespace q60 {

using StationEntries = std::map<std::string, std::string>;  // "group/key" to its text

// Every entry of the file; none when it is missing or cannot be read.
StationEntries readStationFile(const std::string& path);

// Sets these entries in the file, keeping every other one, and replaces the file in
// one step, so a reader finds the old or the new file, never half of one.
bool writeStationFile(const std::string& path, const StationEntries& changes);

}  // namespace q60
