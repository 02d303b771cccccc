// Consumes captured samples from receiveSample; produces the same tone at the
// sender's rate for the demodulator, by windowed-sinc interpolation from a table.
#include "rx/ClockCorrection.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace q60 {

namespace {

constexpr int taps = 16;        // samples each output is formed from
constexpr int centreTap = taps / 2 - 1;  // outputs fall between this sample and the next
constexpr int phases = 512;     // fractional positions in the table; the nearest is taken

// Settings in force.
double ppmInForce = 0.0;
double inputStep = 1.0;  // captured samples per corrected sample

// Running state: the last captured samples, oldest first, and where the next output
// falls, in samples after history[centreTap].
float history[taps] = {};
double nextOutput = 1.0;

float table[phases + 1][taps] = {};
bool tableBuilt = false;

// Blackman-windowed sinc, each phase scaled to unit gain at 0 Hz so the interpolation
// never changes a steady level.
void buildTable()
{
    for (int p = 0; p <= phases; ++p) {
        double sum = 0.0;
        for (int k = 0; k < taps; ++k) {
            const double d = k - centreTap - static_cast<double>(p) / phases;
            const double x = std::numbers::pi * d;
            const double window = 0.42 + 0.5 * std::cos(x / (taps / 2)) + 0.08 * std::cos(2 * x / (taps / 2));
            const double sinc = d == 0.0 ? 1.0 : std::sin(x) / x;
            table[p][k] = static_cast<float>(sinc * window);
            sum += table[p][k];
        }
        for (float& tap : table[p])
            tap = static_cast<float>(tap / sum);
    }
    tableBuilt = true;
}

int32_t interpolate(double fraction)
{
    const float* coeffs = table[std::lround(fraction * phases)];
    float sum = 0.0F;
    for (int k = 0; k < taps; ++k)
        sum += history[k] * coeffs[k];
    return static_cast<int32_t>(std::lround(sum));
}

}  // namespace

void setClockCorrection(double ppm)
{
    ppmInForce = std::clamp(ppm, -maxClockPpm, maxClockPpm);
    inputStep = 1.0 + ppmInForce * 1e-6;
    std::ranges::fill(history, 0.0F);
    nextOutput = 1.0;
    if (!tableBuilt)
        buildTable();
}

double clockCorrectionPpm()
{
    return ppmInForce;
}

void correctClock(int32_t sample, CorrectedSampleTaker take)
{
    std::shift_left(std::begin(history), std::end(history), 1);
    history[taps - 1] = static_cast<float>(sample);
    nextOutput = nextOutput - 1.0;
    while (nextOutput < 1.0) {
        take(interpolate(nextOutput));
        nextOutput = nextOutput + inputStep;
    }
}

}  // namespace q60
