// SPDX-License-Identifier: GPL-3.0-or-later
#include "tx/FrameModulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "tests/support/Fnv.h"

namespace q60 {
namespace {

class FrameModulatorTest : public ::testing::Test {
protected:
    void SetUp() override { synthBuffer = buffer.data(); }
    void TearDown() override { synthBuffer = nullptr; }

    static void fillTxFrame(uint8_t value)
    {
        std::vector<uint8_t> picture(txFrameBytes, value);
        setTxFrame(picture.data(), picture.size());
    }

    std::vector<uint8_t> frame()
    {
        const int length = modulateFrame();
        return {buffer.begin(), buffer.begin() + length};
    }

    static std::vector<uint8_t> slice(const std::vector<uint8_t>& samples, int from, int count)
    {
        return {samples.begin() + from, samples.begin() + from + count};
    }

    std::vector<uint8_t> buffer = std::vector<uint8_t>(synthBufferBytes, 0xEE);
};

// Frequency of a stretch of tone from its crossings of the centre, placed between
// samples by linear interpolation (samples are truncated: the centre lies at 127.5).
double toneFrequency(const std::vector<uint8_t>& samples, int from, int count)
{
    double first = -1.0;
    double last = 0.0;
    int crossings = 0;
    for (int k = from + 1; k < from + count; ++k) {
        const double a = samples[k - 1] - 127.5;
        const double b = samples[k] - 127.5;
        if ((a < 0) == (b < 0))
            continue;
        last = k - 1 + a / (a - b);
        if (first < 0)
            first = last;
        ++crossings;
    }
    return (crossings - 1) / 2.0 / (last - first) * sampleRate;
}

// Mean frequency over the picture parts (pixels 4 to 79) of all sent lines.
double pictureFrequency(const std::vector<uint8_t>& samples)
{
    double sum = 0.0;
    for (int n = 0; n < 59; ++n)
        sum += toneFrequency(samples, 168 + 160 * n, 152);
    return sum / 59;
}

TEST_F(FrameModulatorTest, FrameStartsWithTheKnownSyncSamplesAndBlackIsBlack)
{
    const auto samples = frame();
    ASSERT_EQ(samples.size(), 9600U);
    EXPECT_EQ(slice(samples, 0, 8), (std::vector<uint8_t>{178, 206, 198, 159, 106, 62, 48, 69}));
    EXPECT_EQ(slice(samples, 160, 8), (std::vector<uint8_t>{116, 68, 48, 63, 107, 160, 199, 206}));
    EXPECT_EQ(slice(samples, 168, 8), (std::vector<uint8_t>{166, 99, 53, 57, 110, 175, 207, 185}));
    EXPECT_EQ(buffer[9600], 0xEE) << "nothing is written past the frame";
}

TEST_F(FrameModulatorTest, WhitePictureKeepsTheSyncAndChangesThePixels)
{
    fillTxFrame(255);
    const auto samples = frame();
    EXPECT_EQ(slice(samples, 160, 8), (std::vector<uint8_t>{116, 68, 48, 63, 107, 160, 199, 206}));
    EXPECT_EQ(slice(samples, 168, 8), (std::vector<uint8_t>{131, 52, 83, 180, 200, 114, 48, 98}));
}

TEST_F(FrameModulatorTest, EveryPictureGivesFullFramesWithinTheSampleRange)
{
    for (uint8_t value : {0, 1, 127, 128, 200, 255}) {
        fillTxFrame(value);
        const auto samples = frame();
        ASSERT_EQ(samples.size(), 9600U) << int(value);
        EXPECT_GE(*std::min_element(samples.begin(), samples.end()), 48) << int(value);
        EXPECT_LE(*std::max_element(samples.begin(), samples.end()), 208) << int(value);
    }
}

TEST_F(FrameModulatorTest, UnsentLineAndSyncPixelsDoNotChangeTheFrame)
{
    std::vector<uint8_t> picture(txFrameBytes, 90);
    setTxFrame(picture.data(), picture.size());
    const auto reference = frame();
    for (int i = 0; i < pixelsPerLine; ++i)
        picture[80 * 59 + i] = 250;
    for (int n = 0; n < 59; ++n)
        std::fill_n(picture.begin() + 80 * n, 4, 7);
    setTxFrame(picture.data(), picture.size());
    EXPECT_EQ(frame(), reference);
    picture[80 * 10 + 4] = 91;
    setTxFrame(picture.data(), picture.size());
    EXPECT_NE(frame(), reference);
}

TEST_F(FrameModulatorTest, BrighterGreyGivesAHigherToneAcrossTheSignedBoundary)
{
    double previous = 0.0;
    for (uint8_t value : {0, 127, 128, 200, 255}) {
        fillTxFrame(value);
        const double frequency = pictureFrequency(frame());
        EXPECT_GT(frequency, previous + 2.0) << int(value);
        previous = frequency;
    }
    const std::pair<uint8_t, double> tones[] = {{0, 1498.5}, {128, 1891.5}, {200, 2112.6}, {255, 2281.5}};
    for (const auto& [value, hertz] : tones) {
        fillTxFrame(value);
        EXPECT_NEAR(pictureFrequency(frame()), hertz, 3.0) << int(value);
    }
    EXPECT_NEAR(toneFrequency(frame(), 0, 160), 1200.0, 3.0) << "frame sync";
}

TEST_F(FrameModulatorTest, TestPictureIgnoresTheTxFrameAndTakesEffectPerPixel)
{
    testPicture = true;
    fillTxFrame(0);
    const auto ramp = frame();
    fillTxFrame(255);
    EXPECT_EQ(frame(), ramp);
    testPicture = false;
    EXPECT_NE(frame(), ramp);
}

TEST_F(FrameModulatorTest, RepeatedCallsGiveIdenticalFrames)
{
    fillTxFrame(77);
    const auto first = frame();
    EXPECT_EQ(frame(), first);
}

// Every sample of a picture frame and of a test-ramp frame, pinned; the values were
// checked against an independent model of the tone format.
TEST_F(FrameModulatorTest, WholeFramesMatchTheirPinnedFingerprints)
{
    std::vector<uint8_t> picture(txFrameBytes);
    for (int n = 0; n < txFrameLines; ++n)
        for (int i = 0; i < pixelsPerLine; ++i)
            picture[80 * n + i] = static_cast<uint8_t>((i * 7 + n * 3) % 256);
    setTxFrame(picture.data(), picture.size());
    auto samples = frame();
    EXPECT_EQ(test::fnv1a(test::fnvStart, samples.data(), samples.size()), 0xa9f2378ad15637e3ULL);
    testPicture = true;
    samples = frame();
    EXPECT_EQ(test::fnv1a(test::fnvStart, samples.data(), samples.size()), 0x2d061c9f521780daULL);
}

TEST_F(FrameModulatorTest, SetTxFrameCopiesOnlyTheGivenLengthAndNeverPastThePicture)
{
    std::vector<uint8_t> expected(txFrameBytes, 0);
    std::fill_n(expected.begin(), 80, 255);
    setTxFrame(expected.data(), expected.size());
    const auto lineZeroWhite = frame();

    fillTxFrame(0);
    std::vector<uint8_t> source(2 * txFrameBytes, 255);
    setTxFrame(source.data(), 80);
    EXPECT_EQ(frame(), lineZeroWhite);
    setTxFrame(source.data(), source.size());
    EXPECT_EQ(TxFrame[txFrameBytes - 1].load(), 255);
}

TEST_F(FrameModulatorTest, NoSynthBufferBuildsNothing)
{
    synthBuffer = nullptr;
    EXPECT_EQ(modulateFrame(), 0);
}

}  // namespace
}  // namespace q60
