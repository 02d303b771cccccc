// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the captured bytes at each drain (RxRecorder) while the tuning aid is
// shown; produces, per look of the window's tick, a Goertzel spectrum of Hann-windowed
// 441-sample blocks (their mean, and their strongest held over the looks) and the
// input's peak level.
#include "rx/TuningSpectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "tx/ToneFormat.h"

namespace q60 {
namespace {

constexpr int blockSamples = sampleRate / tuningBinHz;
static_assert(blockSamples * tuningBinHz == sampleRate);
constexpr int firstBin = tuningLowHz / tuningBinHz;  // bin k of a block is k * tuningBinHz
constexpr double fullScale = 128.0;                  // sample units from the centre to the rails
// A full-scale sine at a bin's frequency gives this Goertzel magnitude through the
// Hann window: half the amplitude times the window's mean (one half) times the block.
constexpr double fullScaleMagnitude = 0.25 * blockSamples;
// The held spectrum sinks this far a look, so a sync burst stays seen for a few seconds.
constexpr float holdDecayDb = 2.0f;

// Settings.
bool enabled = false;

// Constants of the analysis, made when it is switched on.
std::array<double, blockSamples> window{};
std::array<double, tuningBins> coefficient{};

// The block under way: each bin's last two Goertzel states.
std::array<double, tuningBins> previous{};
std::array<double, tuningBins> beforePrevious{};
int blockFill = 0;

// The look under way: powers over its whole blocks, its bytes and their extremes.
std::array<double, tuningBins> powerSum{};
std::array<double, tuningBins> strongestBlock{};
int blocksSummed = 0;
size_t samplesSeen = 0;
int lowest = sampleCentre;
int highest = sampleCentre;

// Across looks: the held spectrum, in dB.
std::array<float, tuningBins> held{};

void makeConstants()
{
    for (int n = 0; n < blockSamples; ++n)
        window[n] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / blockSamples);
    for (int k = 0; k < tuningBins; ++k)
        coefficient[k] = 2.0 * std::cos(2.0 * std::numbers::pi * (firstBin + k) / blockSamples);
}

void restartBlock()
{
    previous.fill(0.0);
    beforePrevious.fill(0.0);
    blockFill = 0;
}

// A look holds only its own bytes: a block it leaves unfinished is dropped rather than
// smeared into the next look.
void restartLook()
{
    restartBlock();
    powerSum.fill(0.0);
    strongestBlock.fill(0.0);
    blocksSummed = 0;
    samplesSeen = 0;
    lowest = highest = sampleCentre;
}

void finishBlock()
{
    for (int k = 0; k < tuningBins; ++k) {
        const double s1 = previous[k];
        const double s2 = beforePrevious[k];
        const double power = s1 * s1 + s2 * s2 - coefficient[k] * s1 * s2;
        powerSum[k] += power;
        strongestBlock[k] = std::max(strongestBlock[k], power);
    }
    ++blocksSummed;
    restartBlock();
}

void analyse(uint8_t byte)
{
    const double x = window[blockFill] * (byte - sampleCentre) / fullScale;
    for (int k = 0; k < tuningBins; ++k) {
        const double s = x + coefficient[k] * previous[k] - beforePrevious[k];
        beforePrevious[k] = previous[k];
        previous[k] = s;
    }
    if (++blockFill == blockSamples)
        finishBlock();
}

float decibels(double power)
{
    const double relative = power / (fullScaleMagnitude * fullScaleMagnitude);
    return relative > 0.0 ? std::max(tuningFloorDb, static_cast<float>(10.0 * std::log10(relative))) : tuningFloorDb;
}

}  // namespace

void enableTuningSpectrum(bool on)
{
    if (on && !enabled)
        makeConstants();
    enabled = on;
    held.fill(tuningFloorDb);
    restartLook();
}

void tuningSpectrumBytes(const uint8_t* bytes, size_t count)
{
    if (!enabled)
        return;
    for (size_t n = 0; n < count; ++n) {
        lowest = std::min<int>(lowest, bytes[n]);
        highest = std::max<int>(highest, bytes[n]);
        analyse(bytes[n]);
    }
    samplesSeen += count;
}

TuningLook takeTuningLook()
{
    TuningLook look;
    for (int k = 0; k < tuningBins; ++k) {
        look.dbFullScale[k] = blocksSummed == 0 ? tuningFloorDb : decibels(powerSum[k] / blocksSummed);
        held[k] = std::max(decibels(strongestBlock[k]), std::max(tuningFloorDb, held[k] - holdDecayDb));
    }
    look.heldDbFullScale = held;
    look.samples = samplesSeen;
    const int peak = std::max(highest - sampleCentre, sampleCentre - lowest);
    look.levelPercent = static_cast<int>(std::lround(peak * 100.0 / fullScale));
    look.clipping = lowest == 0 || highest == std::numeric_limits<uint8_t>::max();
    look.tooLow = look.levelPercent < tuningLowPercent;
    restartLook();
    return look;
}

}  // namespace q60
