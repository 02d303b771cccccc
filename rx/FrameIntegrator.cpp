// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the RxPicture at each frame sync, through the picture restart handler of
// the window or the codec; produces the mean of the last complete pictures for the
// picture window, its saved pictures and the codec's output.
#include "rx/FrameIntegrator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "rx/PictureAssembler.h"

namespace q60 {
namespace {

constexpr int pictureValues = rxPictureWidth * rxPictureRows;

// A new picture starts the mean afresh when it stands further from the mean than noise
// puts it. Noise alone puts a picture at a mean absolute difference D from the mean
// of k others that grows with the noise by sqrt(1 + 1/k) (its own noise plus the
// mean's), so D / sqrt(1 + 1/k) is the same whatever k. The path's noise figure is a
// running average of that between each picture and the one before it: noise alone
// gives 8 at 20 dB SNR, 26 at 10 dB, 43 at 5 dB and 63 at 0 dB, within about 1, so a
// picture half as far again plus a margin has changed (as the lines do when the phase
// jumps into line). The margin keeps a clean path, with its figure near 0, from
// restarting on a grey level's flicker; the figure follows every picture, so a path
// that grows noisier is learnt within a few frames.
constexpr double changeFactor = 1.5;
constexpr double changeMargin = 4.0;  // grey levels
constexpr double noiseGain = 0.25;    // the figure's running average, over about 4 pictures

// Settings.
int framesInMean = 1;

// Running state: the pictures in the mean, a ring of framesInMean starting at oldest,
// as 8-bit grey top row first, and their sums (16 * 255 fits 16 bits).
std::array<std::array<uint8_t, pictureValues>, maxIntegratedFrames> pictures{};
std::array<uint16_t, pictureValues> sums{};
int count = 0;
int oldest = 0;
uint32_t syncsTaken = 0;  // frameSyncCount at the picture taken last
int picturesTaken = 0;    // since the start
double noiseFigure = 0.0;
int pairsMeasured = 0;    // since the start
std::array<uint8_t, pictureValues> incoming{};  // the picture being taken

void restartMean()
{
    sums.fill(0);
    count = 0;
    oldest = 0;
}

bool isMarkedlyAbove(double difference, double noise) { return difference > changeFactor * noise + changeMargin; }

double meanAbsolute(long total) { return static_cast<double>(total) / pictureValues; }

// D / sqrt(1 + 1/k) of the incoming picture against the mean of the count in it.
double differenceFromMean()
{
    long total = 0;
    for (int k = 0; k < pictureValues; ++k)
        total += std::abs(count * incoming[k] - sums[k]);
    return meanAbsolute(total) / count / std::sqrt(1.0 + 1.0 / count);
}

// The same against the newest picture in the mean alone.
double differenceFromNewest()
{
    const std::array<uint8_t, pictureValues>& newest = pictures[(oldest + count - 1) % framesInMean];
    long total = 0;
    for (int k = 0; k < pictureValues; ++k)
        total += std::abs(incoming[k] - newest[k]);
    return meanAbsolute(total) / std::sqrt(2.0);
}

void dropOldest()
{
    for (int k = 0; k < pictureValues; ++k)
        sums[k] = static_cast<uint16_t>(sums[k] - pictures[oldest][k]);
    oldest = (oldest + 1) % framesInMean;
    count = count - 1;
}

void addToMean(const std::array<uint8_t, pictureValues>& picture)
{
    if (count == framesInMean)
        dropOldest();
    pictures[(oldest + count) % framesInMean] = picture;
    count = count + 1;
    for (int k = 0; k < pictureValues; ++k)
        sums[k] = static_cast<uint16_t>(sums[k] + picture[k]);
}

// Before the incoming picture joins the mean: the mean starts afresh when the picture
// has changed. Two pictures alone cannot tell which of them is unlike the path's
// pictures, so the third decides: when it stands markedly nearer the second than the
// second stood to the first, the first (taken as the phase was still moving, say)
// leaves the mean.
void judgeIncoming()
{
    const double pair = differenceFromNewest();
    const bool firstWasOdd = pairsMeasured == 1 && count == 2 && isMarkedlyAbove(noiseFigure, pair);
    if (firstWasOdd)
        dropOldest();
    else if (pairsMeasured > 0 && isMarkedlyAbove(differenceFromMean(), noiseFigure))
        restartMean();
    // The odd picture's pair told nothing of the noise.
    const bool firstFigure = pairsMeasured == 0 || firstWasOdd;
    noiseFigure = firstFigure ? pair : noiseFigure + noiseGain * (pair - noiseFigure);
    pairsMeasured = pairsMeasured + 1;
}

}  // namespace

void setFrameIntegration(int frames)
{
    framesInMean = std::clamp(frames, 1, maxIntegratedFrames);
    pairsMeasured = 0;
    picturesTaken = 0;
    restartMean();
}

int frameIntegration() { return framesInMean; }

bool integrateRxPicture()
{
    if (frameSyncCount == syncsTaken)
        return false;
    syncsTaken = frameSyncCount;
    paintRxPictureGrey(incoming.data(), 1);
    // The first picture after the start began wherever reception did, not at a frame
    // sync: shown until the next, but never part of a mean.
    picturesTaken = std::min(picturesTaken + 1, 3);
    if (framesInMean > 1 && picturesTaken == 2)
        restartMean();
    else if (framesInMean > 1 && picturesTaken > 2)
        judgeIncoming();
    addToMean(incoming);
    return true;
}

int integratedPictures() { return count; }

void paintIntegratedGrey(uint8_t* grey, int rowRepeat)
{
    if (count == 0) {
        paintRxPictureGrey(grey, rowRepeat);
        return;
    }
    for (int y = 0; y < rxPictureRows * rowRepeat; ++y) {
        const uint16_t* row = sums.data() + rxPictureWidth * (y / rowRepeat);
        for (int i = 0; i < rxPictureWidth; ++i)
            grey[rxPictureWidth * y + i] = static_cast<uint8_t>((row[i] + count / 2) / count);
    }
}

}  // namespace q60
