// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes captured samples from receiveSample; produces the same tone at the
// sender's rate for the demodulator, by windowed-sinc interpolation from a table.
// When tracking, the picture assembler's line syncs tell it the error that remains.
#include "rx/ClockCorrection.h"

#include <algorithm>
#include <cmath>

#include "rx/Resampler.h"

namespace q60 {

namespace {

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

// Running state: captured samples in, corrected samples out.
Resampler resampler;

void useRateError(double ppm)
{
    ppmInForce = std::clamp(ppm, -maxClockPpm, maxClockPpm);
    resampler.inputStep = 1.0 + ppmInForce * 1e-6;
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

void restartCorrection() { restartResampler(resampler, resampler.inputStep); }

}  // namespace

void setClockCorrection(double ppm)
{
    useRateError(ppm);
    restartCorrection();
}

double clockCorrectionPpm()
{
    return ppmInForce;
}

void setClockTracking(bool on)
{
    tracking = on;
    restartCorrection();
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
    resampleSample(resampler, sample, [take](int32_t corrected) {
        valuesSinceFrameSync = valuesSinceFrameSync + 1.0;
        take(corrected);
    });
}

}  // namespace q60
