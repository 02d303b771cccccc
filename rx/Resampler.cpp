// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes samples from the clock corrections of receiver and transmitter; produces
// them at another rate, from one table of windowed-sinc phases built once.
#include "rx/Resampler.h"

#include <cmath>
#include <numbers>

namespace q60 {
namespace {

constexpr int centreTap = resamplerTaps / 2 - 1;  // outputs fall between this sample and the next
constexpr int phases = resamplerPhases;

struct Table {
    ResamplerTable taps = {};
};

// Blackman-windowed sinc, each phase scaled to unit gain at 0 Hz so the interpolation
// never changes a steady level.
Table buildTable()
{
    Table table;
    for (int p = 0; p <= phases; ++p) {
        double sum = 0.0;
        for (int k = 0; k < resamplerTaps; ++k) {
            const double d = k - centreTap - static_cast<double>(p) / phases;
            const double x = std::numbers::pi * d;
            const double window =
                0.42 + 0.5 * std::cos(x / (resamplerTaps / 2)) + 0.08 * std::cos(2 * x / (resamplerTaps / 2));
            const double sinc = d == 0.0 ? 1.0 : std::sin(x) / x;
            table.taps[p][k] = static_cast<float>(sinc * window);
            sum += table.taps[p][k];
        }
        for (float& tap : table.taps[p])
            tap = static_cast<float>(tap / sum);
    }
    return table;
}

}  // namespace

const ResamplerTable* resamplerTable()
{
    static const Table built = buildTable();
    return &built.taps;
}

void restartResampler(Resampler& resampler, double inputStep)
{
    std::ranges::fill(resampler.history, 0.0F);
    resampler.nextOutput = 1.0;
    resampler.inputStep = inputStep;
}

}  // namespace q60
