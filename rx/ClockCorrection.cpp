// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes captured samples from receiveSample; produces the same tone at the
// sender's rate for the demodulator, by windowed-sinc interpolation from a table.
// When tracking, the picture assembler's line syncs tell it the error that remains.
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

constexpr int maxSyncsPerFrame = 80;  // line syncs kept for tracking; a frame has 59
constexpr int minSyncsForFit = 30;
constexpr double outlierValues = 2.0;  // syncs further off the first fit are noise
constexpr double halfLine = 80.0;      // values; positions are unwrapped within this
constexpr double nearValues = 4.0;     // syncs this close to one another count together
constexpr double driftValues = 24.0;   // a line sync moves at most about 20 over a frame
constexpr double slowestGain = 1.0 / 8;  // a running mean at first, then over about 8 frames
constexpr int pullInFrames = 3;  // frames measured within themselves before comparing frames

// Settings in force.
double ppmInForce = 0.0;
double inputStep = 1.0;  // captured samples per corrected sample
bool tracking = false;

// Tracking: this frame's line syncs, and how many frames have been measured.
double syncTimes[maxSyncsPerFrame] = {};
double syncPositions[maxSyncsPerFrame] = {};
int syncCount = 0;
int framesMeasured = 0;
bool lastFrameMeasured = false;
double lastMiddle = 0.0;  // where the last measured frame's line syncs stood half-way
double shiftSinceLast = 0.0;  // how far the line phase moved them since
double valuesSinceFrameSync = 0.0;  // corrected samples handed on, the line syncs' clock

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

void useRateError(double ppm)
{
    ppmInForce = std::clamp(ppm, -maxClockPpm, maxClockPpm);
    inputStep = 1.0 + ppmInForce * 1e-6;
}

struct LineFit {
    double slope = 0.0;  // values of position per value of time
    double intercept = 0.0;
    int count = 0;
};

// Position over time by least squares, from the syncs within maxOffset of a guess.
LineFit fitSyncs(const LineFit& previous, double maxOffset)
{
    double n = 0, st = 0, sx = 0, stt = 0, stx = 0;
    for (int k = 0; k < syncCount; ++k) {
        const double t = syncTimes[k];
        const double x = syncPositions[k];
        if (std::fabs(x - (previous.intercept + previous.slope * t)) > maxOffset)
            continue;
        n += 1;
        st += t;
        sx += x;
        stt += t * t;
        stx += t * x;
    }
    LineFit fit;
    fit.count = static_cast<int>(n);
    const double spread = n * stt - st * st;
    if (fit.count < minSyncsForFit || spread <= 0.0)
        return fit;
    fit.slope = (n * stx - st * sx) / spread;
    fit.intercept = (sx - fit.slope * st) / n;
    return fit;
}

int syncsNear(double position)
{
    int count = 0;
    for (int k = 0; k < syncCount; ++k)
        count += std::fabs(std::remainder(syncPositions[k] - position, 2 * halfLine)) <= nearValues ? 1 : 0;
    return count;
}

// Moves every position by whole lines next to the one most syncs lie near, so noise
// far off the line start cannot wrap the others around the line's end.
double unwrapPositions()
{
    double reference = syncPositions[0];
    for (int k = 1; k < syncCount; ++k)
        if (syncsNear(syncPositions[k]) > syncsNear(reference))
            reference = syncPositions[k];
    for (int k = 0; k < syncCount; ++k)
        syncPositions[k] = reference + std::remainder(syncPositions[k] - reference, 2 * halfLine);
    return reference;
}

// The drift of the line syncs is what the correction still misses. Within one frame
// it pulls in from any error, but the picture's content bends it a little (the grey
// before each sync changes where it crosses); from one frame to the next, of a still
// picture, the content is the same and only the clock moves them.
double remainingDrift(const LineFit& fit)
{
    const double middle = fit.intercept + fit.slope * valuesSinceFrameSync / 2;
    const double moved = std::remainder(middle + shiftSinceLast - lastMiddle, 2 * halfLine);
    const bool compare = lastFrameMeasured && framesMeasured >= pullInFrames;
    lastMiddle = middle;
    lastFrameMeasured = true;
    return compare ? moved / valuesSinceFrameSync : fit.slope;
}

void trackFrame()
{
    const LineFit rough = fitSyncs({.intercept = unwrapPositions()}, driftValues);
    const LineFit fine = fitSyncs(rough, outlierValues);
    if (rough.count < minSyncsForFit || fine.count < minSyncsForFit) {
        lastFrameMeasured = false;
        return;
    }
    const double drift = remainingDrift(fine);
    framesMeasured = framesMeasured + 1;
    // Each stage starts as a running mean of its measurements.
    const int stageFrames = framesMeasured > pullInFrames ? framesMeasured - pullInFrames : framesMeasured;
    const double gain = std::max(1.0 / stageFrames, slowestGain);
    useRateError(ppmInForce + gain * drift * 1e6);
}

void restartResampler()
{
    std::ranges::fill(history, 0.0F);
    nextOutput = 1.0;
    if (!tableBuilt)
        buildTable();
}

}  // namespace

void setClockCorrection(double ppm)
{
    useRateError(ppm);
    restartResampler();
}

double clockCorrectionPpm()
{
    return ppmInForce;
}

void setClockTracking(bool on)
{
    tracking = on;
    restartResampler();
    lastFrameMeasured = false;
    syncCount = 0;
    framesMeasured = 0;
}

bool clockCorrectionActive()
{
    return tracking || ppmInForce != 0.0;
}

void noteLineSync(double position)
{
    // An infinite level (from extreme coefficients) gives no position to measure by.
    if (!tracking || syncCount == maxSyncsPerFrame || !std::isfinite(position))
        return;
    syncTimes[syncCount] = valuesSinceFrameSync;
    syncPositions[syncCount] = position;
    syncCount = syncCount + 1;
}

void noteFrameSync(double lineShift)
{
    if (tracking && syncCount > 0)
        trackFrame();
    else
        lastFrameMeasured = false;
    shiftSinceLast = lineShift;
    syncCount = 0;
    valuesSinceFrameSync = 0.0;
}

void correctClock(int32_t sample, CorrectedSampleTaker take)
{
    std::shift_left(std::begin(history), std::end(history), 1);
    history[taps - 1] = static_cast<float>(sample);
    nextOutput = nextOutput - 1.0;
    while (nextOutput < 1.0) {
        valuesSinceFrameSync = valuesSinceFrameSync + 1.0;
        take(interpolate(nextOutput));
        nextOutput = nextOutput + inputStep;
    }
}

}  // namespace q60
