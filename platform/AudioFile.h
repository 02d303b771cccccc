// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Audio recorded into the pictures folder: the receiver's bytes as a WAV file whose
// header is brought up to date after every write, so the file stays valid however
// the recording ends (stopped, a full disk, a crash). One recording at a time.
#include <cstddef>
#include <cstdint>
#include <string>

namespace q60 {

// Starts folder/name, making the folder when needed; on failure reason says why.
bool startAudioFile(const std::string& folder, const std::string& name, std::string& reason);

// Appends the bytes to the recording; on failure reason says why, and what was
// written before stays valid.
bool writeAudioFile(const uint8_t* bytes, size_t count, std::string& reason);

// Ends the recording, if one runs.
void stopAudioFile();

}  // namespace q60
