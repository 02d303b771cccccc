// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes discriminator values from the FM demodulator; produces the RxPicture and
// tells the registered handler at every picture restart. The receiver's drain and the
// codec hand it captured bytes through receiveBytes, on the window thread.
#include "rx/PictureAssembler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "rx/ClockCorrection.h"
#include "rx/FmDemodulator.h"
#include "rx/FrequencyControl.h"

namespace q60 {

int32_t Contrast = 380;
int32_t Brightness = 140;
float Synclevel = 10.0F;
bool fastLock = false;
uint8_t RxPicture[rxPictureBytes] = {};
int32_t rowIndex = 0;
uint32_t frameSyncCount = 0;

namespace {

constexpr float slowAverageKeep = 59.0F;  // weights of the slow average, over 60
constexpr float slowAverageWeights = 60.0F;
constexpr int32_t frameHoldoffValues = 6000;  // about 0.544 s between frame syncs
constexpr int32_t lineHoldoffAfterFrame = 180;
constexpr int32_t lineHoldoffValues = 140;
constexpr int32_t minLineSyncsForPhase = 30;
constexpr int32_t phaseFold = 80;  // means from here on lie before the line start
constexpr int32_t deadBand = 1;    // a mean of -1 to 1 needs no step
constexpr int32_t lastPosition = rxPictureWidth - 1;
constexpr int32_t agreementSpan = 2;  // line syncs within this many values either way agree
constexpr int32_t fastLockTarget = 1;  // the middle of the positions where the default settles
constexpr int32_t pulseValues = 2 * lineSyncPixels;  // one line sync
// The last 112 values (most of the frame sync, so it is taken inside its own line) must
// lie at or below the sync level on average, which black in noise and line syncs do not.
constexpr int32_t frameSyncHoldValues = 112;
constexpr int32_t dueSpan = 4;  // values either side of where an agreed line sync is due
constexpr int32_t wholeLineSpan = rxPictureWidth / 2 - 1;
// Both filters see levels against the sync level, within this either way, so a click
// moves a sum little more than one value of picture does; a NaN counts as white.
constexpr float clickLimit = 128.0F;

// The flywheel: a line is always counted out to 160 values; line syncs only vote
// on where it should start, and each frame sync moves it by at most one value.
uint8_t lineBuffer[rxPictureWidth] = {};
int32_t linePosition = 0;
int32_t lineCount = rxPictureRows;
float slowAverage = 50.0F;
float previousValue = 0.0F;  // the last level, for where a line sync began
int32_t frameHoldoff = 0;
int32_t lineHoldoff = 0;
int64_t phaseSum = 0;  // 64 bits: line syncs without a frame sync would overflow 32 in two days
int32_t phaseCount = 0;
// Fast lock's count of this frame's line syncs at each line position.
int32_t phaseVotes[rxPictureWidth] = {};
PictureRestartHandler pictureRestartHandler = nullptr;

// Sturdier sync: the last levels as its two matched filters see them, with their sums;
// this line's deepest pulse so far; where the next line sync is due, and whether the
// last frame's line syncs agreed on it.
bool sturdy = false;
float pulseLevels[pulseValues] = {};
int32_t pulseIndex = 0;
double pulseSum = 0.0;
float holdLevels[frameSyncHoldValues] = {};
int32_t holdIndex = 0;
double holdSum = 0.0;
bool searching = false;
double deepestPulse = 0.0;
int32_t deepestStart = 0;
int32_t dueStart = fastLockTarget;
bool linesAgree = false;

// One block of captured bytes on its way through the demodulator.
int32_t blockSamples[demodulatorBlock] = {};
float blockValues[demodulatorBlock] = {};

void storeLine()
{
    if (rowIndex >= 0 && rowIndex < rxPictureRows) {
        uint8_t* row = RxPicture + rxPictureRowBytes * rowIndex;
        for (int i = 0; i < rxPictureWidth; ++i)
            std::memset(row + 3 * i, lineBuffer[i], 3);
    }
    rowIndex = rowIndex + 1;
}

void restartPicture()
{
    rowIndex = 0;
    if (pictureRestartHandler != nullptr)
        pictureRestartHandler();
}

uint8_t greyOf(float v)
{
    if (v >= 255.0F)
        return 255;
    if (!(v > 0.0F))  // also a NaN
        return 0;
    return static_cast<uint8_t>(v);
}

void correctLinePhase()
{
    if (phaseSum <= 0 || phaseCount < minLineSyncsForPhase)
        return;
    auto mean = static_cast<int32_t>(phaseSum / phaseCount);
    if (mean >= phaseFold)
        mean = mean - rxPictureWidth;
    if (mean > deadBand)
        linePosition = linePosition - 1;
    if (mean < -deadBand)
        linePosition = linePosition + 1;
}

int32_t wrappedPosition(int32_t position)
{
    return (position % rxPictureWidth + rxPictureWidth) % rxPictureWidth;
}

int32_t votesAround(int32_t centre)
{
    int32_t votes = 0;
    for (int32_t d = -agreementSpan; d <= agreementSpan; ++d)
        votes = votes + phaseVotes[wrappedPosition(centre + d)];
    return votes;
}

// The line position most line syncs agree on (within agreementSpan), folded to
// -80..79 as correctLinePhase folds its mean, or none when fewer than 30 agree.
std::optional<int32_t> agreedLineStart()
{
    int32_t best = 0;
    for (int32_t p = 1; p < rxPictureWidth; ++p)
        if (votesAround(p) > votesAround(best))
            best = p;
    const int32_t votes = votesAround(best);
    if (votes < minLineSyncsForPhase)
        return std::nullopt;
    int32_t weighted = 0;
    for (int32_t d = -agreementSpan; d <= agreementSpan; ++d)
        weighted = weighted + d * phaseVotes[wrappedPosition(best + d)];
    const auto start = static_cast<int32_t>(std::lround(best + static_cast<double>(weighted) / votes));
    return start >= phaseFold ? start - rxPictureWidth : start;
}

// Moves the line start onto the agreed position at once. The frame sync is seen
// some values into its line, later than a line sync would be, so the line in progress
// stays that line, shortened or lengthened, and the frame keeps its 59 lines after it.
bool jumpLinePhase()
{
    const std::optional<int32_t> start = agreedLineStart();
    if (!start)
        return false;
    const int32_t step = *start - fastLockTarget;
    if (step > deadBand || step < -deadBand)
        linePosition = wrappedPosition(linePosition - step);
    return true;
}

// -80..79, as the line phase folds positions.
int32_t foldedPosition(int32_t position)
{
    const int32_t wrapped = wrappedPosition(position);
    return wrapped >= phaseFold ? wrapped - rxPictureWidth : wrapped;
}

// One value towards where the line syncs agree, as correctLinePhase moves towards their
// mean; agreement, unlike a mean, holds where syncs fall either side of the line's end.
void stepLinePhase()
{
    const std::optional<int32_t> start = agreedLineStart();
    if (!start)
        return;
    const int32_t step = *start - fastLockTarget;
    if (step > deadBand)
        linePosition = linePosition - 1;
    if (step < -deadBand)
        linePosition = linePosition + 1;
}

// Fast lock jumps into line; once sturdy sync has the lines, noise in where each sync
// falls moves them no more than a value a frame.
void correctLinePhaseAtFrameSync()
{
    if (fastLock && !(sturdy && linesAgree) && jumpLinePhase())
        return;
    if (sturdy)
        stepLinePhase();
    else
        correctLinePhase();
}

void takeFrameSync()
{
    lineCount = 0;
    frameSyncCount = frameSyncCount + 1;
    restartPicture();
    frameHoldoff = frameHoldoffValues;
    lineHoldoff = lineHoldoffAfterFrame;
    const int32_t positionBefore = linePosition;
    const std::optional<int32_t> agreed = sturdy ? agreedLineStart() : std::nullopt;
    correctLinePhaseAtFrameSync();
    // Where the agreed syncs now fall decides whether the next are looked for only there.
    const int32_t moved = foldedPosition(positionBefore - linePosition);
    linesAgree = agreed && std::abs(*agreed - moved - fastLockTarget) <= agreementSpan;
    dueStart = linesAgree ? fastLockTarget : foldedPosition(dueStart - moved);
    searching = false;
    phaseSum = 0;
    phaseCount = 0;
    std::ranges::fill(phaseVotes, 0);
    noteFrameSync(std::remainder(positionBefore - linePosition, rxPictureWidth));
}

void countLineSyncAt(int32_t position)
{
    phaseSum = phaseSum + position;
    phaseCount = phaseCount + 1;
    phaseVotes[wrappedPosition(position)] = phaseVotes[wrappedPosition(position)] + 1;
}

// Where between the previous value and this one the level crossed the sync level.
double syncCrossing(float v)
{
    if (!(previousValue > Synclevel) || !(previousValue > v))
        return 1.0;
    return std::clamp((static_cast<double>(previousValue) - Synclevel) / (previousValue - v), 0.0, 1.0);
}

void takeLineSync(float v)
{
    noteLineSync(linePosition - 1 + syncCrossing(v));
    lineHoldoff = lineHoldoff + lineHoldoffValues;
    countLineSyncAt(linePosition);
}

// A line that ends at 160 carries a forward phase step that had no room in it;
// starting the next line at 1 makes that step count, as it does anywhere else.
void advanceLinePosition()
{
    if (linePosition < lastPosition) {
        linePosition = linePosition + 1;
        return;
    }
    storeLine();
    lineCount = lineCount + 1;
    linePosition = linePosition > lastPosition ? 1 : 0;
}

// The newest level into a matched filter's line; its new sum.
double slideSum(float* levels, int32_t length, int32_t& index, double sum, float level)
{
    sum = sum + level - levels[index];
    levels[index] = level;
    index = (index + 1) % length;
    return sum;
}

void slideSyncFilters(float v)
{
    const float level = std::isnan(v) ? clickLimit : std::clamp(v - Synclevel, -clickLimit, clickLimit);
    pulseSum = slideSum(pulseLevels, pulseValues, pulseIndex, pulseSum, level);
    holdSum = slideSum(holdLevels, frameSyncHoldValues, holdIndex, holdSum, level);
}

// The deepest 8 values of each search window count as the line sync, when they are
// deep enough. The window is the few values around where the lines agree the sync is
// due or, until they do, the whole line centred on the last sync, so that a pulse
// never straddles two windows.
void searchLineSync()
{
    if (lineHoldoff > 0)
        return;
    const int32_t start = foldedPosition(linePosition - (pulseValues - 1));
    const int32_t span = linesAgree ? dueSpan : wholeLineSpan;
    if (std::abs(foldedPosition(start - dueStart)) <= span) {
        if (!searching || pulseSum < deepestPulse) {
            deepestPulse = pulseSum;
            deepestStart = start;
        }
        searching = true;
        return;
    }
    if (searching && deepestPulse <= 0.0) {
        noteLineSync(deepestStart);
        countLineSyncAt(wrappedPosition(deepestStart));
        if (!linesAgree)
            dueStart = deepestStart;
    }
    searching = false;
}

bool frameSyncHeld()
{
    if (sturdy)
        return holdSum <= 0.0;
    return slowAverage <= Synclevel;
}

void takeSample(int32_t sample)
{
    assembleValue(demodulateSample(sample));
}

}  // namespace

void assembleValue(float x)
{
    const auto v = static_cast<float>(Brightness + static_cast<double>(Contrast) * x);
    // A NaN or infinite level would hold the average for the rest of the run and
    // end frame sync for good; it is left out, as it passes no sync test anyway.
    if (std::isfinite(v))
        slowAverage = static_cast<float>((static_cast<double>(slowAverageKeep) * slowAverage + v) / slowAverageWeights);
    if (sturdy)
        slideSyncFilters(v);
    if (frameHoldoff >= 0)
        frameHoldoff = frameHoldoff - 1;
    if (frameSyncHeld() && frameHoldoff <= 0)
        takeFrameSync();
    if (lineHoldoff >= 0)
        lineHoldoff = lineHoldoff - 1;
    if (sturdy)
        searchLineSync();
    else if (v <= Synclevel && lineHoldoff <= 0)
        takeLineSync(v);
    if (linePosition >= 0 && linePosition <= lastPosition)
        lineBuffer[linePosition] = greyOf(v);
    previousValue = v;
    advanceLinePosition();
    if (lineCount >= rxPictureRows) {
        lineCount = 0;
        restartPicture();
    }
}

void paintRxPictureGrey(uint8_t* grey, int rowRepeat)
{
    for (int y = 0; y < rxPictureRows * rowRepeat; ++y) {
        const uint8_t* row = RxPicture + rxPictureRowBytes * (rxPictureRows - 1 - y / rowRepeat);
        for (int i = 0; i < rxPictureWidth; ++i)
            grey[rxPictureWidth * y + i] = row[3 * i];  // blue; all three colours carry the grey
    }
}

void setSturdySync(bool on)
{
    sturdy = on;
    // Filled with white, so neither filter sees a sync until one arrives.
    std::ranges::fill(pulseLevels, clickLimit);
    std::ranges::fill(holdLevels, clickLimit);
    pulseSum = pulseValues * static_cast<double>(clickLimit);
    holdSum = frameSyncHoldValues * static_cast<double>(clickLimit);
    pulseIndex = 0;
    holdIndex = 0;
    searching = false;
    dueStart = fastLockTarget;
    linesAgree = false;
}

bool sturdySyncActive() { return sturdy; }

void setPictureRestartHandler(PictureRestartHandler handler)
{
    pictureRestartHandler = handler;
}

void receiveBytes(const uint8_t* bytes, size_t count)
{
    if (clockCorrectionActive() || frequencyControlActive()) {
        for (size_t k = 0; k < count; ++k)
            receiveSample(int32_t{bytes[k]} - sampleCentre);
        return;
    }
    while (count > 0) {
        const int block = static_cast<int>(std::min<size_t>(count, demodulatorBlock));
        for (int j = 0; j < block; ++j)
            blockSamples[j] = int32_t{bytes[j]} - sampleCentre;
        demodulateBlock(blockSamples, blockValues, block);
        for (int j = 0; j < block; ++j)
            assembleValue(blockValues[j]);
        bytes += block;
        count -= static_cast<size_t>(block);
    }
}

void receiveSample(int32_t sample)
{
    if (clockCorrectionActive())
        correctClock(sample, takeSample);
    else
        takeSample(sample);
}

}  // namespace q60
