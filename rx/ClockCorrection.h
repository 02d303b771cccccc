// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Corrects the receiving sound card's clock against the sender's: the captured
// samples are resampled by 1 / (1 + ppm 1e-6) before the rest of the receive chain.
#include <cstdint>

namespace q60 {

inline constexpr double maxClockPpm = 2000.0;  // the largest rate error corrected, either way

// The receiving card's rate error against the sender's, positive when it samples
// fast: one sent frame then spans frameSamples * (1 + ppm 1e-6) captured samples.
// 0, the default, is no correction at all: samples pass untouched. Restarts the
// resampler; window thread only, as the rest of the chain.
void setClockCorrection(double ppm);
double clockCorrectionPpm();

// Measures the error from the line syncs' timing and follows it, starting from the
// error set above; clockCorrectionPpm() then gives the measured error, same sign.
void setClockTracking(bool on);
bool clockCorrectionActive();

// The picture assembler's line syncs, for tracking: where in the line each crossed
// the sync level, in values.
void noteLineSync(double position);
// At each frame sync, after the line phase moved the next line syncs lineShift values
// earlier: the frame's line syncs give the remaining error.
void noteFrameSync(double lineShift);

// Takes one captured sample minus sampleCentre and hands the corrected samples (0, 1
// or, rarely, 2 of them) to take, in order.
using CorrectedSampleTaker = void (*)(int32_t);
void correctClock(int32_t sample, CorrectedSampleTaker take);

}  // namespace q60
