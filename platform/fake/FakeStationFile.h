// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake "station.ini": one file in memory.
#include "platform/StationFile.h"

namespace q60::fake {

void setStationFile(const StationEntries& entries);
StationEntries stationFile();

}  // namespace q60::fake
