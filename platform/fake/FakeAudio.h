// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake playback device.
#include <cstdint>
#include <vector>

namespace q60::fake {

// The steps of bringing up playback, each of which can be made to fail.
enum class AudioStep { Open, CreateBuffer, StartBuffer };
void failAudioStep(AudioStep step);

// Where the fake device plays from; any thread may read it while a test moves it.
void setPlayPosition(uint32_t offset);

// The next count locks fail.
void failLocks(int count);
// Locks grant this many bytes fewer than asked for (taken from the second region,
// or from the first when there is none).
void shortenLocks(uint32_t bytes);

// What the play buffer holds, silence (128) when created; kept after release.
std::vector<uint8_t> playBufferContents();

// ---- Capture ----

enum class CaptureStep { Open, CreateBuffer, Start };
void failCaptureStep(CaptureStep step);

// Puts bytes into the capture buffer from offset on, wrapping at its end, and moves
// the read position to just behind them, as recording them would.
void capture(uint32_t offset, const std::vector<uint8_t>& bytes);
void setCapturePosition(uint32_t offset);

// The next count position queries, or locks, of the capture buffer fail.
void failCapturePositions(int count);
void failCaptureLocks(int count);

// What the devices report as holes from now on.
void setHoles(uint32_t playback, uint32_t capture);

}  // namespace q60::fake
