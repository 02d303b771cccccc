// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/FilterBank.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace q60 {
namespace {

namespace fs = std::filesystem;

constexpr float mark = 42.5F;  // a value no load or restore writes

class FilterBankTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("q60-filterbank-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        restoreDefaultFilters();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string file(const std::string& content)
    {
        const fs::path path = dir / "coeff.txt";
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    // count numbers (k + 1) / 8, separated as given, followed by tail.
    std::string numbers(int count, const std::string& separator = " ", const std::string& tail = "\n")
    {
        std::string text;
        for (int k = 0; k < count; ++k)
            text += std::to_string((k + 1) / 8.0) + separator;
        return file(text + tail);
    }

    static void markAll()
    {
        std::fill(std::begin(lowPassCoeffs), std::end(lowPassCoeffs), mark);
        std::fill(std::begin(highPassCoeffs), std::end(highPassCoeffs), mark);
    }

    static void expectDefaults()
    {
        EXPECT_EQ(lowPass23, 1);
        EXPECT_EQ(highPass23, 1);
        EXPECT_EQ(highPass63, 0);
        EXPECT_EQ(std::bit_cast<uint32_t>(lowPassCoeffs[0]), 0xb7fe9525U);
        EXPECT_EQ(std::bit_cast<uint32_t>(lowPassCoeffs[11]), 0x3eb9e2f9U);
        EXPECT_EQ(std::bit_cast<uint32_t>(highPassCoeffs[0]), 0x377e5f38U);
        EXPECT_EQ(std::bit_cast<uint32_t>(highPassCoeffs[11]), 0x3f518236U);
    }

    fs::path dir;
};

TEST_F(FilterBankTest, DefaultsAreTheExactSetsAndLeaveTheLongEntriesAlone)
{
    markAll();
    lowPass23 = 0;
    highPass23 = 0;
    highPass63 = 1;
    restoreDefaultFilters();
    expectDefaults();
    EXPECT_FLOAT_EQ(lowPassCoeffs[9], 0.111826F);
    EXPECT_FLOAT_EQ(highPassCoeffs[10], -0.1684016F);
    EXPECT_EQ(lowPassCoeffs[12], mark);
    EXPECT_EQ(highPassCoeffs[31], mark);
    float sum = 0.0F;  // a unity-gain low-pass: both halves and the centre sum to 1
    for (int k = 0; k < 11; ++k)
        sum += 2 * lowPassCoeffs[k];
    EXPECT_NEAR(sum + lowPassCoeffs[11], 1.0F, 1e-6F);
}

TEST_F(FilterBankTest, SixteenNumbersSelectThirtyOneTaps)
{
    EXPECT_EQ(loadCoefficientFile(numbers(16).c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(lowPass23, 0);
    EXPECT_EQ(lowPassCoeffs[15], 2.0F);
    EXPECT_EQ(loadCoefficientFile(numbers(16, "\n").c_str(), CoefficientSet::HighPass), 1);
    EXPECT_EQ(highPass23, 0);
    EXPECT_EQ(highPassCoeffs[0], 0.125F);
}

TEST_F(FilterBankTest, TwelveNumbersSelectTwentyThreeTapsWithOrWithoutATail)
{
    for (const std::string tail : {"", "\n", "\r\n", " end of set\n"}) {
        markAll();
        lowPass23 = 0;
        EXPECT_EQ(loadCoefficientFile(numbers(12, " ", tail).c_str(), CoefficientSet::LowPass), 1) << tail;
        EXPECT_EQ(lowPass23, 1) << tail;
        EXPECT_EQ(lowPassCoeffs[11], 1.5F);
        EXPECT_EQ(lowPassCoeffs[12], mark) << "entries past the set are untouched";
    }
}

TEST_F(FilterBankTest, NumbersPastTheSixteenthAreNotRead)
{
    markAll();
    EXPECT_EQ(loadCoefficientFile(numbers(20).c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(lowPass23, 0);
    EXPECT_EQ(lowPassCoeffs[15], 2.0F);
    EXPECT_EQ(loadCoefficientFile(numbers(20).c_str(), CoefficientSet::HighPass), 1);
    EXPECT_EQ(highPassCoeffs[16], mark);
}

TEST_F(FilterBankTest, WrongCountsFailAndRestoreBothSetsAndAllFlags)
{
    for (int count : {0, 1, 11, 13, 14, 15}) {
        markAll();
        lowPass23 = 0;
        highPass23 = 0;
        EXPECT_EQ(loadCoefficientFile(numbers(count).c_str(), CoefficientSet::LowPass), 0) << count;
        expectDefaults();
        if (count == 14) {
            EXPECT_EQ(lowPassCoeffs[12], 13 / 8.0F) << "what the failed read put there stays";
            EXPECT_EQ(lowPassCoeffs[14], mark);
        }
    }
    EXPECT_EQ(loadCoefficientFile(file("").c_str(), CoefficientSet::HighPass), 0);
    expectDefaults();
}

TEST_F(FilterBankTest, BrokenContentCountsOnlyTheLeadingNumbers)
{
    EXPECT_EQ(loadCoefficientFile(file("1 2 3 4 5 6 7 8 9 10 11 12 x 14 15 16").c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(lowPass23, 1) << "reading stops at the word";
    // A lone sign is no number, and reading stops there too.
    EXPECT_EQ(loadCoefficientFile(file("1 2 3 4 5 6 7 8 9 10 11 12 - 14 15 16 17").c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(lowPass23, 1);
    EXPECT_EQ(loadCoefficientFile(file("1 2 3 4 5 6 7 8 9 10 11 + 13").c_str(), CoefficientSet::LowPass), 0);
    EXPECT_EQ(loadCoefficientFile(file(std::string("\x7f\x45\x4c\x46\x00\x01\xff", 7)).c_str(), CoefficientSet::HighPass), 0);
    EXPECT_EQ(loadCoefficientFile(file("1e-2 -2.5E+1 .5 +7. 5 6 7 8 9 10 11 12").c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(lowPassCoeffs[0], 0.01F);
    EXPECT_EQ(lowPassCoeffs[1], -25.0F);
    EXPECT_EQ(lowPassCoeffs[2], 0.5F);
    EXPECT_EQ(lowPassCoeffs[3], 7.0F);
}

TEST_F(FilterBankTest, MissingFileFailsAndChangesNothing)
{
    ASSERT_EQ(loadCoefficientFile(numbers(32).c_str(), CoefficientSet::HighPass63), 1);
    lowPass23 = 0;
    EXPECT_EQ(loadCoefficientFile((dir / "absent.txt").c_str(), CoefficientSet::HighPass), 0);
    EXPECT_EQ(loadCoefficientFile((dir / "absent.txt").c_str(), CoefficientSet::HighPass63), 0);
    EXPECT_EQ(highPass63, 1) << "the long high-pass stays in force";
    EXPECT_EQ(lowPass23, 0);
    EXPECT_EQ(highPassCoeffs[31], 4.0F);
}

TEST_F(FilterBankTest, LongHighPassTakesThirtyTwoNumbersAndEndsAtTheNextHighPassLoad)
{
    highPass23 = 0;
    EXPECT_EQ(loadCoefficientFile(numbers(33).c_str(), CoefficientSet::HighPass63), 1);
    EXPECT_EQ(highPass63, 1);
    EXPECT_EQ(highPass23, 0) << "kept for when the long mode ends";
    EXPECT_EQ(highPassCoeffs[31], 4.0F);
    EXPECT_EQ(lowPassCoeffs[0], std::bit_cast<float>(0xb7fe9525U));

    EXPECT_EQ(loadCoefficientFile(numbers(12).c_str(), CoefficientSet::LowPass), 1);
    EXPECT_EQ(highPass63, 1) << "a low-pass load leaves the long high-pass in force";

    EXPECT_EQ(loadCoefficientFile(file("0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5").c_str(), CoefficientSet::HighPass), 1);
    EXPECT_EQ(highPass63, 0);
    EXPECT_EQ(highPass23, 1);
    EXPECT_EQ(highPassCoeffs[0], 0.5F);
    EXPECT_EQ(highPassCoeffs[12], 13 / 8.0F) << "the long set's outer entries stay behind";
}

TEST_F(FilterBankTest, FailedLongHighPassLoadFallsBackToTheDefaults)
{
    markAll();
    lowPass23 = 0;
    EXPECT_EQ(loadCoefficientFile(numbers(31).c_str(), CoefficientSet::HighPass63), 0);
    expectDefaults();
    EXPECT_EQ(highPassCoeffs[20], 21 / 8.0F);
}

}  // namespace
}  // namespace q60
