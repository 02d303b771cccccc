// SPDX-License-Identifier: GPL-3.0-or-later
// The tuning aid's analysis: where a tone peaks, how strong it is, and the level with
// its flags, over half a second of bytes as one drain brings them.
#include "rx/TuningSpectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tx/ToneFormat.h"

namespace q60 {
namespace {

constexpr size_t halfSecond = sampleRate / 2;

std::vector<uint8_t> tone(double hz, double amplitude)
{
    std::vector<uint8_t> bytes(halfSecond);
    for (size_t n = 0; n < bytes.size(); ++n) {
        const double value = sampleCentre + amplitude * std::sin(2.0 * std::numbers::pi * hz * n / sampleRate);
        bytes[n] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    }
    return bytes;
}

// Fed in two uneven parts, as a drain across the ring's end hands them on.
TuningLook lookAt(const std::vector<uint8_t>& bytes)
{
    enableTuningSpectrum(true);
    tuningSpectrumBytes(bytes.data(), 1000);
    tuningSpectrumBytes(bytes.data() + 1000, bytes.size() - 1000);
    return takeTuningLook();
}

int peakHz(const TuningLook& look)
{
    const auto peak = std::max_element(look.dbFullScale.begin(), look.dbFullScale.end());
    return tuningLowHz + tuningBinHz * static_cast<int>(peak - look.dbFullScale.begin());
}

float dbAt(const TuningLook& look, int hz) { return look.dbFullScale[(hz - tuningLowHz) / tuningBinHz]; }
float heldAt(const TuningLook& look, int hz) { return look.heldDbFullScale[(hz - tuningLowHz) / tuningBinHz]; }

TEST(TuningSpectrumTest, ToneStandsAtItsFrequencyAtItsStrengthAndNowhereElse)
{
    for (const int hz : {1200, 1300, 1500, 2300, 2500}) {
        const TuningLook look = lookAt(tone(hz, 80.0));
        EXPECT_EQ(peakHz(look), hz);
        // 80 of 128 is -4.08 dB of full scale.
        EXPECT_NEAR(dbAt(look, hz), -4.08, 0.1) << hz;
        EXPECT_LT(dbAt(look, hz > 2000 ? hz - 200 : hz + 200), -50.0) << hz;
    }
}

// A sync's 160 samples of 1200 Hz inside picture tone: lost in the mean, they stand
// in the held spectrum, which then sinks 2 dB a look.
TEST(TuningSpectrumTest, ShortBurstIsHeldAndSinksSlowly)
{
    std::vector<uint8_t> bytes = tone(1900, 80.0);
    const std::vector<uint8_t> burst = tone(1200, 80.0);
    std::copy_n(burst.begin(), frameSyncSamples, bytes.begin() + 5 * 441 + 140);
    const TuningLook look = lookAt(bytes);
    EXPECT_LT(dbAt(look, 1200), -15.0);
    EXPECT_NEAR(heldAt(look, 1200), -8.0, 1.5);
    EXPECT_LT(heldAt(look, 1100), heldAt(look, 1200) - 10.0);
    EXPECT_LT(heldAt(look, 1300), heldAt(look, 1200) - 10.0);

    const std::vector<uint8_t> plain = tone(1900, 80.0);
    tuningSpectrumBytes(plain.data(), plain.size());
    const TuningLook next = takeTuningLook();
    EXPECT_FLOAT_EQ(heldAt(next, 1200), heldAt(look, 1200) - 2.0f);
    EXPECT_NEAR(heldAt(next, 1900), -4.08, 0.1);
}

TEST(TuningSpectrumTest, LevelIsThePeakInPercentWithClippingAndLowFlagged)
{
    TuningLook look = lookAt(tone(1900, 80.0));
    EXPECT_EQ(look.samples, halfSecond);
    EXPECT_EQ(look.levelPercent, 63);
    EXPECT_FALSE(look.clipping || look.tooLow);

    look = lookAt(tone(1900, 200.0));  // held at the rails
    EXPECT_EQ(look.levelPercent, 100);
    EXPECT_TRUE(look.clipping);
    EXPECT_FALSE(look.tooLow);

    look = lookAt(tone(1900, 12.0));
    EXPECT_EQ(look.levelPercent, 9);
    EXPECT_TRUE(look.tooLow);
    look = lookAt(tone(1900, 13.0));
    EXPECT_EQ(look.levelPercent, 10);
    EXPECT_FALSE(look.tooLow);
}

TEST(TuningSpectrumTest, EachLookStartsAfreshAndNothingIsSeenWhileOff)
{
    lookAt(tone(1200, 80.0));
    TuningLook look = takeTuningLook();
    EXPECT_EQ(look.samples, 0U);
    EXPECT_EQ(look.levelPercent, 0);
    EXPECT_EQ(*std::max_element(look.dbFullScale.begin(), look.dbFullScale.end()), tuningFloorDb);

    enableTuningSpectrum(false);
    const std::vector<uint8_t> bytes = tone(1200, 80.0);
    tuningSpectrumBytes(bytes.data(), bytes.size());
    look = takeTuningLook();
    EXPECT_EQ(look.samples, 0U);
}

}  // namespace
}  // namespace q60
