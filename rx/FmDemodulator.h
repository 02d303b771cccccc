// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns each received sample into one discriminator value that follows the tone's
// frequency: about sin(2*pi*(f - 1999.94 Hz) / 11025), whatever the amplitude.
#include <cstdint>

namespace q60 {

// Running peaks of the input: each new extreme is taken, then both drift back
// towards zero by 0.01 per sample. The level bar shows them.
extern float levelHigh;
extern float levelLow;

// One captured byte minus 128 in, one discriminator value out; window thread only.
float demodulateSample(int32_t sample);

// The same for count samples at once (at most demodulatorBlock), value for value and
// bit for bit what demodulateSample gives them one by one, only faster. Frequency
// control runs in demodulateSample alone, so with it on samples go one by one.
inline constexpr int demodulatorBlock = 512;
void demodulateBlock(const int32_t* samples, float* values, int count);

}  // namespace q60
