// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Corrects the station's own playback clock: each frame of tone is resampled so that
// a sound card that plays fast or slow still puts out the sender's exact timing.
#include <cstdint>

#include "tx/ToneFormat.h"

namespace q60 {

// Room for one corrected frame: the largest correction lengthens it by 0.2 %.
inline constexpr int maxCorrectedFrameBytes = frameSamples + frameSamples / 400 + 2;

// The playing card's rate error, positive when it plays fast: one frame then spans
// frameSamples * (1 + ppm 1e-6) played samples. Held to the receiver's range; 0, the
// default, leaves the tone untouched. Restarts the resampler; call before the
// transmit feeder starts, which alone uses it afterwards.
void setTxClockCorrection(double ppm);
double txClockCorrectionPpm();

// Resamples length bytes of tone into out (room for maxCorrectedFrameBytes) as the
// next piece of one continuous stream; returns the bytes written.
int correctTxClock(const uint8_t* tone, int length, uint8_t* out);

}  // namespace q60
