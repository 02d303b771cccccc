// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/StationFile.h: the file is a map in memory.
#include "platform/fake/FakeStationFile.h"

#include "platform/fake/FakePlatform.h"

namespace q60::fake {
namespace {

StationEntries file;

}  // namespace

void setStationFile(const StationEntries& entries) { file = entries; }
StationEntries stationFile() { return file; }

}  // namespace q60::fake

namespace q60 {

StationEntries readStationFile(const std::string&) { return fake::stationFile(); }

bool writeStationFile(const std::string& path, const StationEntries& changes)
{
    fake::log("writeStationFile " + path);
    StationEntries entries = fake::stationFile();
    for (const auto& [key, value] : changes)
        entries[key] = value;
    fake::setStationFile(entries);
    return true;
}

}  // namespace q60
