// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver's byte stream as a WAV file (11025 Hz, mono, 8-bit unsigned PCM) on
// libsndfile: its data bytes are exactly the bytes written. The codec and the
// program's audio recording share it, so the two always write the same files.
#include <cstddef>
#include <cstdint>
#include <string>

namespace q60 {

struct WavFile;

// Creates the file, replacing one of that name; nullptr, with reason set, on failure.
WavFile* openWavFile(const std::string& path, std::string& reason);

// Appends the bytes. On failure (a full disk) reason says why; what reached the disk
// stays, and the header can still be brought up to it.
bool writeWavFile(WavFile* file, const uint8_t* bytes, size_t count, std::string& reason);

// Brings the header's sizes up to the data on disk, so the file is valid as it stands.
bool updateWavHeader(WavFile* file, std::string& reason);

// Brings the header up to date and closes the file; the handle is gone either way.
bool closeWavFile(WavFile* file, std::string& reason);

}  // namespace q60
