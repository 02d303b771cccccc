// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake audio recording: the files started and their bytes, and
// a disk that fills.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace q60::fake {

struct RecordedAudio {
    std::string folder;
    std::string name;
    std::vector<uint8_t> bytes;
    bool running = false;
};
std::vector<RecordedAudio> recordedAudio();

// After this many more bytes, writes fail as on a full disk.
void fillAudioDiskAfter(size_t bytes);

}  // namespace q60::fake
