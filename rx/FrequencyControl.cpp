// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the demodulator's low-pass outputs (from demodulateSample); produces the
// mixer's correction. Each frame's worth of samples, the lowest stretch of tone, which
// is the frame sync's 1200 Hz, gives the offset; the mixer follows a running mean of it.
#include "rx/FrequencyControl.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tx/ToneFormat.h"

namespace q60 {

namespace {

constexpr double radiansPerHz = 2.0 * std::numbers::pi / sampleRate;  // per sample
constexpr double mixerHz = 1999.94;  // the demodulator's oscillator as specified
constexpr double syncToneHz = 1200.0;
// The frame sync is found where the sum of the last 160 phase steps is lowest. Its
// tone is measured over the middle 112, clear of the filters' edges: roughly by the
// steps' mean, then finely by how far the tone turns over half of it, which averages
// the noise of 56 pairs of outputs instead of taking two ends.
constexpr int syncWindow = frameSyncSamples;
constexpr int innerEdge = 24;
constexpr int innerSamples = syncWindow - 2 * innerEdge;
constexpr int fineLag = innerSamples / 2;
constexpr int stretchSamples = lineSamples;  // the lowest window of each is kept
constexpr int stretchesPerFrame = frameSamples / stretchSamples;
// A frame and one stretch more, so one frame sync always lies wholly inside.
constexpr int stretchesSearched = stretchesPerFrame + 1;
// The outputs kept: the stretches searched and the line before them, where a window
// found early in the oldest stretch began.
constexpr int keptSamples = (stretchesSearched + 1) * stretchSamples;
// The frame sync lies about 290 Hz under the frame's mean even on a black picture;
// a frame without such a dip (noise, silence) measures nothing.
constexpr double minDipHz = 150.0;
constexpr double pullInHz = 300.0;  // larger offsets are taken as no measurement
// The first frame only pulls in: far off, the sync tone lies on the filters' edge. A
// running mean starts after it, and goes on over about 4 frames.
constexpr int slowestMeanFrames = 4;
// Once measuring, a frame this far off the mean is noise that hid the frame sync; three
// such frames in a row are a retuned receiver, and the measurement pulls in anew.
constexpr double outlierHz = 25.0;
constexpr int retuneFrames = 3;

// Settings in force.
bool active = false;
double offsetHz = 0.0;
double correction = 0.0;  // offsetHz in radians per sample
int framesMeasured = 0;
int outliersInARow = 0;

// Running state: the low-pass outputs of the frame searched, each with the mixer's
// correction then; the last syncWindow phase steps (the tone against the mixer as
// specified) and their sum; where each stretch's lowest sum ended, and the sum; the
// frame's sum of steps.
float keptC[keptSamples] = {};
float keptS[keptSamples] = {};
double keptCorrection[keptSamples] = {};
int keptIndex = 0;
double steps[syncWindow] = {};
int stepIndex = 0;
int stepsSeen = 0;
double windowSum = 0.0;
double stretchLowest[stretchesSearched] = {};
int stretchLowestEnd[stretchesSearched] = {};
int stretchIndex = 0;
int samplesInStretch = 0;
int stretchesInFrame = 0;
double frameSum = 0.0;

void restartMeasurement()
{
    std::fill_n(steps, syncWindow, 0.0);
    keptIndex = 0;
    stepIndex = 0;
    stepsSeen = 0;
    windowSum = 0.0;
    stretchIndex = 0;
    samplesInStretch = 0;
    stretchesInFrame = 0;
    frameSum = 0.0;
}

void useOffset(double hz)
{
    offsetHz = hz;
    correction = hz * radiansPerHz;
}

// How far the tone turned from kept output k - lag to output k against the mixer at
// the time, less removed radians.
double turnOver(int k, int lag, double removed)
{
    const int j = (k - lag + keptSamples) % keptSamples;
    const double jc = keptC[j] * std::cos(removed) + keptS[j] * std::sin(removed);
    const double js = keptS[j] * std::cos(removed) - keptC[j] * std::sin(removed);
    return std::atan2(keptC[k] * js - keptS[k] * jc, keptC[k] * jc + keptS[k] * js);
}

// The sync tone's frequency against the mixer as specified, radians per sample, from
// the middle of the window that ended at kept output end.
double syncTone(int end)
{
    const int first = end - syncWindow + 1 + innerEdge + keptSamples;
    double rough = 0.0;
    for (int n = 1; n < innerSamples; ++n) {
        const int k = (first + n) % keptSamples;
        rough = rough + turnOver(k, 1, 0.0) + keptCorrection[k];
    }
    rough = rough / (innerSamples - 1);
    double c = 0.0;
    double s = 0.0;
    for (int n = fineLag; n < innerSamples; ++n) {
        const int k = (first + n) % keptSamples;
        const double turn = turnOver(k, fineLag, (rough - keptCorrection[k]) * fineLag);
        c = c + std::cos(turn);
        s = s + std::sin(turn);
    }
    return rough + std::atan2(s, c) / fineLag;
}

// The frame's lowest window against its mean; a real frame sync moves the mixer.
void measureFrame()
{
    const auto lowest = std::min_element(stretchLowest, stretchLowest + stretchesSearched) - stretchLowest;
    const double lowestHz = stretchLowest[lowest] / syncWindow / radiansPerHz;
    const double meanHz = frameSum / frameSamples / radiansPerHz;
    const double measuredHz = syncTone(stretchLowestEnd[lowest]) / radiansPerHz + mixerHz - syncToneHz;
    if (meanHz - lowestHz < minDipHz || !(std::fabs(measuredHz) <= pullInHz))
        return;
    const bool outlier = framesMeasured >= 2 && std::fabs(measuredHz - offsetHz) > outlierHz;
    outliersInARow = outlier ? outliersInARow + 1 : 0;
    if (outlier && outliersInARow < retuneFrames)
        return;
    framesMeasured = outlier ? 1 : framesMeasured + 1;
    outliersInARow = 0;
    const double gain = 1.0 / std::clamp(framesMeasured - 1, 1, slowestMeanFrames);
    useOffset(offsetHz + gain * (measuredHz - offsetHz));
}

void closeStretch()
{
    stretchIndex = (stretchIndex + 1) % stretchesSearched;
    samplesInStretch = 0;
    stretchesInFrame = stretchesInFrame + 1;
    if (stretchesInFrame < stretchesPerFrame)
        return;
    stretchesInFrame = 0;
    if (stepsSeen == keptSamples)
        measureFrame();
    frameSum = 0.0;
}

void takeStep(double step)
{
    windowSum = windowSum + step - steps[stepIndex];
    steps[stepIndex] = step;
    stepIndex = (stepIndex + 1) % syncWindow;
    stepsSeen = std::min(stepsSeen + 1, keptSamples);
    frameSum = frameSum + step;
}

}  // namespace

void setFrequencyControl(bool on)
{
    active = on;
    framesMeasured = 0;
    outliersInARow = 0;
    useOffset(0.0);
    restartMeasurement();
}

bool frequencyControlActive()
{
    return active;
}

double frequencyOffsetHz()
{
    return offsetHz;
}

double mixerCorrection()
{
    return correction;
}

void measureFrequency(float c, float s, float prevC, float prevS)
{
    keptC[keptIndex] = c;
    keptS[keptIndex] = s;
    keptCorrection[keptIndex] = correction;
    // The phase step from the last output to this one, plus the mixer's own move; none
    // from outputs a NaN coefficient spoilt, which would spoil the running sums for good.
    const double step = std::atan2(static_cast<double>(c) * prevS - static_cast<double>(s) * prevC,
                                   static_cast<double>(c) * prevC + static_cast<double>(s) * prevS);
    takeStep(std::isfinite(step) ? step + correction : correction);
    if (samplesInStretch == 0 || windowSum < stretchLowest[stretchIndex]) {
        stretchLowest[stretchIndex] = windowSum;
        stretchLowestEnd[stretchIndex] = keptIndex;
    }
    keptIndex = (keptIndex + 1) % keptSamples;
    samplesInStretch = samplesInStretch + 1;
    if (samplesInStretch == stretchSamples)
        closeStretch();
}

}  // namespace q60
