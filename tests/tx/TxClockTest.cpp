// SPDX-License-Identifier: GPL-3.0-or-later
// The transmitter's clock correction: a card that plays fast or slow gets frames
// stretched to its rate, and a receiver correcting the same error sees exact timing.
#include "tx/TxClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "rx/ClockCorrection.h"
#include "rx/FilterBank.h"
#include "rx/PictureAssembler.h"
#include "tests/support/ReceivedPicture.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

// frames of the test ramp as the corrected transmitter plays them, as samples around
// 0; each frame's length in lengths.
std::vector<int32_t> correctedRamp(int frames, double ppm, std::vector<int>& lengths)
{
    testPicture = true;
    std::vector<uint8_t> synth(synthBufferBytes);
    std::vector<uint8_t> played(maxCorrectedFrameBytes);
    synthBuffer = synth.data();
    setTxClockCorrection(ppm);
    std::vector<int32_t> tone;
    for (int f = 0; f < frames; ++f) {
        const int length = correctTxClock(synth.data(), modulateFrame(), played.data());
        lengths.push_back(length);
        for (int k = 0; k < length; ++k)
            tone.push_back(played[k] - sampleCentre);
    }
    synthBuffer = nullptr;
    return tone;
}

class TxClockError : public ::testing::TestWithParam<double> {};

// Uncorrected, a receiver sees the lines slant by 9.6 values a frame at 1000 ppm.
TEST_P(TxClockError, FramesSpanTheCardsRateAndDecodeStraightWithTheSameCorrection)
{
    constexpr int frames = 10;
    const double ppm = GetParam();
    const double span = frameSamples * (1 + ppm * 1e-6);
    std::vector<int> lengths;
    const std::vector<int32_t> tone = correctedRamp(frames, ppm, lengths);
    for (int length : lengths)
        EXPECT_LE(std::fabs(length - span), 1.0) << length;
    EXPECT_LE(std::fabs(static_cast<double>(tone.size()) - frames * span), 1.0);

    fastLock = true;
    restoreDefaultFilters();
    setClockCorrection(ppm);
    for (int32_t sample : tone)
        receiveSample(sample);
    std::vector<uint8_t> ramp(txFrameBytes);
    for (int k = 0; k < txFrameBytes; ++k)
        ramp[k] = static_cast<uint8_t>(3 * (k % pixelsPerLine));
    EXPECT_GE(test::lineSyncColumn(30), 0);
    EXPECT_LE(test::lineSyncColumn(30), 2);
    EXPECT_LT(test::idealPictureError(ramp), 1.5);  // measured 1.06 and 1.10; exact tone 0.80
}

INSTANTIATE_TEST_SUITE_P(FastOrSlow, TxClockError, ::testing::Values(-2000.0, 1000.0));

TEST(TxClockTest, ABrokenErrorIsNoneAndAHugeOneIsHeldToTheRange)
{
    setTxClockCorrection(std::nan(""));
    EXPECT_EQ(txClockCorrectionPpm(), 0.0);
    setTxClockCorrection(5000.0);
    EXPECT_EQ(txClockCorrectionPpm(), maxClockPpm);
}

}  // namespace
}  // namespace q60
