// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stream of samples resampled at a steady step by windowed-sinc interpolation from a
// table: the receiver's clock correction and the transmitter's own use one each.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace q60 {

inline constexpr int resamplerTaps = 16;  // input samples each output is formed from
inline constexpr int resamplerPhases = 512;  // fractional positions in the table; the nearest is taken

using ResamplerTable = float[resamplerPhases + 1][resamplerTaps];

// The interpolation table, built on first use (by whichever thread comes first: a
// function-local static, so safely).
const ResamplerTable* resamplerTable();

// One stream's state; each user owns its own, on one thread.
struct Resampler {
    float history[resamplerTaps] = {};  // the last input samples, oldest first
    double nextOutput = 1.0;            // where the next output falls, in inputs after the centre tap
    double inputStep = 1.0;             // input samples per output sample
    const ResamplerTable* table = resamplerTable();
};

// Forgets the history (silence before the next sample) and sets the step.
void restartResampler(Resampler& resampler, double inputStep);

// The output at fraction (0 to 1) of the way from the centre tap to the next sample;
// inline, as the receive chain calls it for every sample.
inline int32_t interpolateResampler(const Resampler& resampler, double fraction)
{
    const float* coeffs = (*resampler.table)[std::lround(fraction * resamplerPhases)];
    float sum = 0.0F;
    for (int k = 0; k < resamplerTaps; ++k)
        sum += resampler.history[k] * coeffs[k];
    return static_cast<int32_t>(std::lround(sum));
}

// Takes one input sample and hands each output it completes (none, one or, with a
// step under 1, sometimes two) to take, in order. The step is read after each
// output, so take may change it.
template <typename Take>
void resampleSample(Resampler& resampler, int32_t sample, Take&& take)
{
    std::shift_left(std::begin(resampler.history), std::end(resampler.history), 1);
    resampler.history[resamplerTaps - 1] = static_cast<float>(sample);
    resampler.nextOutput = resampler.nextOutput - 1.0;
    while (resampler.nextOutput < 1.0) {
        take(interpolateResampler(resampler, resampler.nextOutput));
        resampler.nextOutput = resampler.nextOutput + resampler.inputStep;
    }
}

}  // namespace q60
