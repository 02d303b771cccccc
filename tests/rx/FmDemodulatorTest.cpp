// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/FmDemodulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "rx/FilterBank.h"

namespace q60 {
namespace {

struct Settled {
    double mean = 0.0;
    double low = 1e9;
    double high = -1e9;
};

// Demodulates a steady tone and measures the output once the filters have settled.
Settled demodulateTone(double frequency, double amplitude)
{
    Settled result;
    const int settle = 300;
    const int measured = 3000;
    for (int k = 0; k < settle + measured; ++k) {
        const double angle = 2.0 * std::numbers::pi * frequency * k / 11025.0;
        const float value = demodulateSample(static_cast<int32_t>(std::lround(amplitude * std::sin(angle))));
        if (k < settle)
            continue;
        result.mean += value / measured;
        result.low = std::min(result.low, double(value));
        result.high = std::max(result.high, double(value));
    }
    return result;
}

struct ToneCase {
    double frequency;
    double mean;
    double low;
    double high;
};

const ToneCase tones[] = {
    {1200.0, -0.440, -0.448, -0.434}, {1500.0, -0.281, -0.285, -0.277}, {1498.5, -0.282, -0.287, -0.277},
    {1891.5, -0.062, -0.066, -0.058}, {2000.0, 0.000, -0.005, 0.005},   {2281.5, 0.160, 0.156, 0.164},
    {2300.0, 0.170, 0.167, 0.174},
};

TEST(FmDemodulatorTest, SteadyTonesGiveTheirDiscriminatorValues)
{
    restoreDefaultFilters();
    for (const auto& tone : tones) {
        const Settled out = demodulateTone(tone.frequency, 100.0);
        EXPECT_NEAR(out.mean, tone.mean, 0.001) << tone.frequency << " Hz";
        EXPECT_GE(out.low, tone.low - 0.0005) << tone.frequency << " Hz";
        EXPECT_LE(out.high, tone.high + 0.0005) << tone.frequency << " Hz";
    }
}

// The discriminator divides the amplitude out: weaker tones keep the mean, and
// only the ripple of the rounded input grows.
TEST(FmDemodulatorTest, AmplitudeChangesOnlyTheRipple)
{
    restoreDefaultFilters();
    for (const auto& [amplitude, ripple] : {std::pair{80.0, 0.012}, std::pair{20.0, 0.03}}) {
        for (const auto& tone : tones) {
            const Settled out = demodulateTone(tone.frequency, amplitude);
            EXPECT_NEAR(out.mean, tone.mean, 0.001) << tone.frequency << " Hz at " << amplitude;
            EXPECT_GT(out.low, out.mean - ripple) << tone.frequency << " Hz at " << amplitude;
            EXPECT_LT(out.high, out.mean + ripple) << tone.frequency << " Hz at " << amplitude;
        }
    }
}

TEST(FmDemodulatorTest, FirstCallGivesZeroAndTracksThePeaks)
{
    restoreDefaultFilters();
    EXPECT_EQ(demodulateSample(50), 0.0F);
    EXPECT_FLOAT_EQ(levelHigh, 49.99F);
    EXPECT_FLOAT_EQ(levelLow, 0.01F);
}

TEST(FmDemodulatorTest, DigitalSilenceGivesZeroOnEverySample)
{
    restoreDefaultFilters();
    for (int k = 0; k < 500; ++k)
        ASSERT_EQ(demodulateSample(0), 0.0F) << k;
    EXPECT_FLOAT_EQ(levelHigh, -0.01F);
    EXPECT_FLOAT_EQ(levelLow, 0.01F);
}

TEST(FmDemodulatorTest, PeaksJumpToANewExtremeAndDriftBack)
{
    restoreDefaultFilters();
    for (int k = 0; k < 100; ++k)
        demodulateSample(0);
    demodulateSample(100);
    EXPECT_FLOAT_EQ(levelHigh, 99.99F);
    EXPECT_FLOAT_EQ(levelLow, 0.02F);
    demodulateSample(0);
    EXPECT_FLOAT_EQ(levelLow, 0.01F);
    for (int k = 1; k < 200; ++k)
        demodulateSample(0);
    EXPECT_NEAR(levelHigh, 98.0F, 0.02F);

    demodulateTone(1500.0, 100.0);
    EXPECT_NEAR(levelHigh, 99.9F, 0.15F);
    EXPECT_NEAR(levelLow, -99.8F, 0.2F);
}

TEST(FmDemodulatorTest, ExtremeInputNeverStopsTheOutput)
{
    restoreDefaultFilters();
    for (int32_t sample : {-128, 127, INT32_MAX, INT32_MIN, 0, 5})
        EXPECT_FALSE(std::isnan(demodulateSample(sample))) << sample;
    for (int k = 0; k < 100; ++k)
        demodulateSample(0);
    EXPECT_EQ(demodulateSample(0), 0.0F) << "silence after overload settles back to zero";
}

}  // namespace
}  // namespace q60
