// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road without devices: picture -> modulateFrame -> receiveSample -> RxPicture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "rx/FilterBank.h"
#include "rx/FmDemodulator.h"
#include "rx/PictureAssembler.h"
#include "tests/support/Fnv.h"
#include "tests/support/ReceivedPicture.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using test::expectedGrey;
using test::lineSyncColumn;
using test::rxGrey;

std::vector<uint8_t> synthMemory(synthBufferBytes);

// Sends frames of tone from the TxFrame straight into the receive chain; the
// first frame starts offset samples late, as a receiver switched on mid-line.
void transmitFrames(int frames, int offset = 0)
{
    synthBuffer = synthMemory.data();
    for (int f = 0; f < frames; ++f) {
        const int length = modulateFrame();
        for (int k = f == 0 ? offset : 0; k < length; ++k)
            receiveSample(synthMemory[k] - sampleCentre);
    }
}

// Mean difference between rows 1 to 59 and the sent lines 0 to 58; sent pixel i
// lands on columns 2i+1 and 2i+2, delayed by the filters a little more than the sync.
double meanGreyError(const std::vector<uint8_t>& picture, bool ramp)
{
    double error = 0.0;
    int count = 0;
    for (int row = 1; row < rxPictureRows; ++row) {
        for (int i = 6; i < pixelsPerLine - 1; ++i) {
            const int level = ramp ? 3 * i : picture[pixelsPerLine * (row - 1) + i];
            for (int column : {2 * i + 1, 2 * i + 2})
                error += std::abs(rxGrey(row, column) - expectedGrey(level));
            count += 2;
        }
    }
    return error / count;
}

// A smooth picture: grey rising across the line and down the frame.
std::vector<uint8_t> gradientPicture()
{
    std::vector<uint8_t> picture(txFrameBytes);
    for (int n = 0; n < txFrameLines; ++n)
        for (int i = 0; i < pixelsPerLine; ++i)
            picture[pixelsPerLine * n + i] = static_cast<uint8_t>(10 + 2 * i + n);
    return picture;
}

TEST(ReceiveChainTest, PictureComesBackAfterTheLinePhaseSettles)
{
    restoreDefaultFilters();
    const auto picture = gradientPicture();
    setTxFrame(picture.data(), picture.size());
    transmitFrames(100);
    const double error = meanGreyError(picture, false);
    // Measured 1.1 grey levels; the ripple of the discriminator and the filters'
    // smoothing of the pixel steps make up the rest.
    EXPECT_LT(error, 2.0);
    EXPECT_GT(rxGrey(30, 100), rxGrey(30, 40)) << "grey rises across the line";
    EXPECT_GT(rxGrey(59, 80), rxGrey(2, 80)) << "and from bottom row to top row";
}

TEST(ReceiveChainTest, TestRampComesBackInEveryRow)
{
    restoreDefaultFilters();
    testPicture = true;
    transmitFrames(100);
    EXPECT_LT(meanGreyError({}, true), 2.0);  // measured 1.0
    // Column 0 swings with the line phase; the sync, darker than the ramp's darkest
    // grey (about 40), fills the next columns.
    for (int row = 1; row < rxPictureRows; ++row)
        for (int column = 2; column <= 6; ++column)
            ASSERT_LT(rxGrey(row, column), 15) << "line sync at the start of row " << row;
}

class LinePhaseSweep : public ::testing::TestWithParam<int> {};

// A black picture puts the frame sync at the same line position in every frame,
// where a forward phase step could fall on the line end; every start must settle.
TEST_P(LinePhaseSweep, CleanFramesSettleWithTheLineSyncAtTheRowStart)
{
    restoreDefaultFilters();
    transmitFrames(85, GetParam());
    for (int frame = 0; frame < 5; ++frame) {
        transmitFrames(1);
        for (int row = 1; row < rxPictureRows; ++row) {
            const int column = lineSyncColumn(row);
            ASSERT_GE(column, 0) << "row " << row;
            ASSERT_LE(column, 2) << "row " << row << " after frame " << 86 + frame;
        }
    }
}

// The unit tests take every fifth start offset; the sweep (label "sweep") builds this
// file again with a stride of 1 and runs every offset, once per test command.
INSTANTIATE_TEST_SUITE_P(StartOffsets, LinePhaseSweep, ::testing::Range(0, 160, Q60_SWEEP_STRIDE));

std::string coefficientFile(const std::string& name, int count, double (*value)(int))
{
    const auto path = std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()));
    std::FILE* file = std::fopen(path.c_str(), "w");
    for (int k = 0; k < count; ++k)
        std::fprintf(file, "%.17g\n", value(k));
    std::fclose(file);
    return path.string();
}

bool demodulateInBlocks = false;

// Through the demodulator one by one, or in blocks of changing sizes, into the picture.
void demodulateAll(const std::vector<int32_t>& samples, uint64_t& fingerprint)
{
    std::vector<float> values(samples.size());
    if (demodulateInBlocks) {
        constexpr std::array<int, 5> blockSizes{1, 37, demodulatorBlock, 200, 5};
        for (size_t k = 0, b = 0; k < samples.size(); k += blockSizes[b++ % blockSizes.size()]) {
            const auto count = std::min<size_t>(blockSizes[b % blockSizes.size()], samples.size() - k);
            demodulateBlock(samples.data() + k, values.data() + k, static_cast<int>(count));
        }
    } else {
        std::ranges::transform(samples, values.begin(), demodulateSample);
    }
    for (const float value : values) {
        fingerprint = test::fnv1a(fingerprint, &value, sizeof value);
        assembleValue(value);
    }
}

void receiveNoise(int count, uint32_t& seed, uint64_t& fingerprint)
{
    std::vector<int32_t> samples(static_cast<size_t>(count));
    for (int32_t& sample : samples) {
        seed = (seed * 1103515245U + 12345U) & 0x7fffffffU;
        sample = static_cast<int32_t>((seed >> 16) % 201) - 100;
    }
    demodulateAll(samples, fingerprint);
}

// Every discriminator value bit for bit and the final picture byte for byte, over
// tone, noise and three changes of filter length; the fingerprints were checked
// against an independent model of the chain.
void expectPinnedFingerprints()
{
    restoreDefaultFilters();
    static int restarts = 0;
    setPictureRestartHandler([] { ++restarts; });
    std::vector<uint8_t> picture(txFrameBytes);
    for (int n = 0; n < txFrameLines; ++n)
        for (int i = 0; i < pixelsPerLine; ++i)
            picture[pixelsPerLine * n + i] = static_cast<uint8_t>((i * 7 + n * 3) % 256);
    setTxFrame(picture.data(), picture.size());
    synthBuffer = synthMemory.data();
    modulateFrame();

    uint64_t fingerprint = test::fnvStart;
    std::vector<int32_t> tone;
    for (int f = 0; f < 3; ++f)
        for (int k = 0; k < frameSamples; ++k)
            tone.push_back(synthMemory[k] - sampleCentre);
    demodulateAll(tone, fingerprint);
    uint32_t seed = 12345;
    receiveNoise(20000, seed, fingerprint);
    const auto lowPass = coefficientFile("lp", 16, [](int k) { return (k + 1) / 1024.0; });
    ASSERT_EQ(loadCoefficientFile(lowPass.c_str(), CoefficientSet::LowPass), 1);
    receiveNoise(5000, seed, fingerprint);
    const auto longHighPass = coefficientFile("hp63", 32, [](int k) { return (k % 7 - 3) / 256.0; });
    ASSERT_EQ(loadCoefficientFile(longHighPass.c_str(), CoefficientSet::HighPass63), 1);
    receiveNoise(5000, seed, fingerprint);
    const auto highPass = coefficientFile("hp", 12, [](int k) { return (k % 5 - 2) / 128.0; });
    ASSERT_EQ(loadCoefficientFile(highPass.c_str(), CoefficientSet::HighPass), 1);
    receiveNoise(5000, seed, fingerprint);
    for (const auto& path : {lowPass, longHighPass, highPass})
        std::filesystem::remove(path);

    EXPECT_EQ(fingerprint, 0x781cc5be65c11cfcULL);
    EXPECT_EQ(test::fnv1a(test::fnvStart, RxPicture, rxPictureBytes), 0xcc64fc17604a1c3eULL);
    EXPECT_EQ(rowIndex, 45);
    EXPECT_EQ(restarts, 10);
    EXPECT_EQ(std::bit_cast<uint32_t>(levelHigh), 0x42c52e09U);
    EXPECT_EQ(std::bit_cast<uint32_t>(levelLow), 0xc2c78f56U);
}

TEST(ReceiveChainTest, ExactOutputsMatchTheirPinnedFingerprints)
{
    expectPinnedFingerprints();
}

TEST(ReceiveChainTest, BlocksOfAnySizeGiveTheSameBits)
{
    demodulateInBlocks = true;
    expectPinnedFingerprints();
}

}  // namespace
}  // namespace q60
