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

}  // namespace q60::fake
