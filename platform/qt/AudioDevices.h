// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound server's outputs (sinks) and inputs (sources, monitors included), and
// word of every change to them, for the sound device dialog.
#include <functional>
#include <string>
#include <vector>

namespace q60 {

struct AudioDeviceEntry {
    std::string name;         // what station.ini keeps
    std::string description;  // what the user reads
};

struct AudioDeviceList {
    std::vector<AudioDeviceEntry> outputs;
    std::vector<AudioDeviceEntry> inputs;
};

// Asks the server now; empty lists when none answers.
AudioDeviceList listAudioDevices();

// Calls changed, on the sound server's thread, whenever an output or input comes or
// goes, until stopWatchingAudioDevices.
void watchAudioDevices(std::function<void()> changed);
void stopWatchingAudioDevices();

}  // namespace q60
