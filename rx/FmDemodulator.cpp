// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes received samples (from the picture assembler's receiveSample) and the
// filter sets of the FilterBank; produces discriminator values. High-pass, mix
// down against a 2000 Hz oscillator, low-pass both branches, quadrature discriminator.
#include "rx/FmDemodulator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rx/FilterBank.h"
#include "rx/FrequencyControl.h"
#include "tx/ToneFormat.h"

namespace q60 {

float levelHigh = 0.0F;
float levelLow = 0.0F;

namespace {

constexpr double ncoIncrement = 1.13977304;  // radians per sample, 1999.94 Hz
constexpr float levelStep = 0.01F;
constexpr int longestHighPass = 63;
constexpr int longestLowPass = 31;

// Delay lines, oldest value at entry 0. One line serves every length: entries past
// the length in use keep what a longer length left there.
float highPassLine[longestHighPass] = {};
float sinLine[longestLowPass] = {};
float cosLine[longestLowPass] = {};

// A block's work: a delay line followed by the block's new values, and the sums of
// its outputs, formed side by side.
float highPassBlock[longestHighPass - 1 + demodulatorBlock] = {};
float sinBlock[longestLowPass - 1 + demodulatorBlock] = {};
float cosBlock[longestLowPass - 1 + demodulatorBlock] = {};
float highPassOut[demodulatorBlock] = {};
float sinOut[demodulatorBlock] = {};
float cosOut[demodulatorBlock] = {};
double blockSums[demodulatorBlock] = {};
double ncoPhase = 0.0;
float prevSin = 0.0F;
float prevCos = 0.0F;

void shiftIn(float* line, int taps, float value)
{
    std::memmove(line, line + 1, sizeof(float) * static_cast<size_t>(taps - 1));
    line[taps - 1] = value;
}

// Symmetric FIR over taps = 2M+1 values: pairs are summed before they are weighed,
// and the whole sum is formed in double and rounded once.
float symmetricFir(const float* line, const float* coeffs, int taps)
{
    const int middle = taps / 2;
    double sum = 0.0;
    for (int k = 0; k < middle; ++k)
        sum += (static_cast<double>(line[k]) + static_cast<double>(line[taps - 1 - k])) * coeffs[k];
    sum += static_cast<double>(line[middle]) * coeffs[middle];
    return static_cast<float>(sum);
}

int highPassTaps()
{
    if (highPass63 == 1)
        return 63;
    return highPass23 == 1 ? 23 : 31;
}

int lowPassTaps()
{
    return lowPass23 == 1 ? 23 : 31;
}

void trackLevels(float x)
{
    if (x >= levelHigh)
        levelHigh = x;
    levelHigh = levelHigh - levelStep;
    if (x <= levelLow)
        levelLow = x;
    levelLow = levelLow + levelStep;
}

float highPassFilter(float x)
{
    const int taps = highPassTaps();
    shiftIn(highPassLine, taps, x);
    return symmetricFir(highPassLine, highPassCoeffs, taps);
}

void advanceNco(double increment)
{
    ncoPhase = ncoPhase + increment;
    if (ncoPhase >= phaseWrap)
        ncoPhase = ncoPhase - phaseWrap;
}

void mixDown(float h)
{
    const int taps = lowPassTaps();
    shiftIn(sinLine, taps, static_cast<float>(std::sin(ncoPhase) * h));
    shiftIn(cosLine, taps, static_cast<float>(std::cos(ncoPhase) * h));
}

float lowPassCos()
{
    return symmetricFir(cosLine, lowPassCoeffs, lowPassTaps());
}

float lowPassSin()
{
    return symmetricFir(sinLine, lowPassCoeffs, lowPassTaps());
}

float discriminate(float c, float s)
{
    const auto num = static_cast<float>(static_cast<double>(c) * prevSin - static_cast<double>(s) * prevCos);
    const auto den = static_cast<float>(static_cast<double>(s) * s + static_cast<double>(c) * c);
    if (den == 0.0F)
        return 0.0F;
    return num / den;
}

// symmetricFir over count windows of a block, window j starting at block[j]. Each
// output's sum takes its terms in symmetricFir's order; only the outputs run side by
// side, where the compiler can put them in vector lanes.
void symmetricFirBlock(const float* block, const float* coeffs, int taps, int count, float* out)
{
    const int middle = taps / 2;
    std::fill_n(blockSums, count, 0.0);
    for (int k = 0; k < middle; ++k) {
        const float* early = block + k;
        const float* late = block + taps - 1 - k;
        const double coeff = coeffs[k];
        for (int j = 0; j < count; ++j)
            blockSums[j] += (static_cast<double>(early[j]) + static_cast<double>(late[j])) * coeff;
    }
    const float* centre = block + middle;
    const double coeff = coeffs[middle];
    for (int j = 0; j < count; ++j)
        out[j] = static_cast<float>(blockSums[j] + static_cast<double>(centre[j]) * coeff);
}

// Puts the delay line in front of the block, as shiftIn would have held it.
void openBlock(const float* line, int taps, float* block)
{
    std::copy_n(line + 1, taps - 1, block);
}

// Leaves the delay line as shiftIn would have left it after the block's count values.
void closeBlock(float* line, int taps, const float* block, int count)
{
    std::copy_n(block + count - 1, taps, line);
}

void highPassBlockOf(const int32_t* samples, int count)
{
    const int taps = highPassTaps();
    openBlock(highPassLine, taps, highPassBlock);
    for (int j = 0; j < count; ++j) {
        const auto x = static_cast<float>(samples[j]);
        trackLevels(x);
        highPassBlock[taps - 1 + j] = x;
    }
    symmetricFirBlock(highPassBlock, highPassCoeffs, taps, count, highPassOut);
    closeBlock(highPassLine, taps, highPassBlock, count);
}

void mixDownBlock(int count)
{
    const int taps = lowPassTaps();
    openBlock(sinLine, taps, sinBlock);
    openBlock(cosLine, taps, cosBlock);
    for (int j = 0; j < count; ++j) {
        advanceNco(ncoIncrement);
        sinBlock[taps - 1 + j] = static_cast<float>(std::sin(ncoPhase) * highPassOut[j]);
        cosBlock[taps - 1 + j] = static_cast<float>(std::cos(ncoPhase) * highPassOut[j]);
    }
    symmetricFirBlock(cosBlock, lowPassCoeffs, taps, count, cosOut);
    symmetricFirBlock(sinBlock, lowPassCoeffs, taps, count, sinOut);
    closeBlock(sinLine, taps, sinBlock, count);
    closeBlock(cosLine, taps, cosBlock, count);
}

}  // namespace

void demodulateBlock(const int32_t* samples, float* values, int count)
{
    if (count < 1 || count > demodulatorBlock)
        return;
    highPassBlockOf(samples, count);
    mixDownBlock(count);
    for (int j = 0; j < count; ++j) {
        values[j] = discriminate(cosOut[j], sinOut[j]);
        prevCos = cosOut[j];
        prevSin = sinOut[j];
    }
}

float demodulateSample(int32_t sample)
{
    const auto x = static_cast<float>(sample);
    trackLevels(x);
    const float h = highPassFilter(x);
    // Frequency control off adds 0.0, which leaves the step as specified, bit for bit.
    advanceNco(ncoIncrement + mixerCorrection());
    mixDown(h);
    const float c = lowPassCos();
    const float s = lowPassSin();
    if (frequencyControlActive())
        measureFrequency(c, s, prevCos, prevSin);
    const float result = discriminate(c, s);
    prevCos = c;
    prevSin = s;
    return result;
}

}  // namespace q60
