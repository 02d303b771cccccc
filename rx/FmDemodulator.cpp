// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes received samples (from the picture assembler's receiveSample) and the
// filter sets of the FilterBank; produces discriminator values. High-pass, mix
// down against a 2000 Hz oscillator, low-pass both branches, quadrature discriminator.
#include "rx/FmDemodulator.h"

#include <cmath>
#include <cstring>

#include "rx/FilterBank.h"
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

void advanceNco()
{
    ncoPhase = ncoPhase + ncoIncrement;
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

}  // namespace

float demodulateSample(int32_t sample)
{
    const auto x = static_cast<float>(sample);
    trackLevels(x);
    const float h = highPassFilter(x);
    advanceNco();
    mixDown(h);
    const float c = lowPassCos();
    const float s = lowPassSin();
    const float result = discriminate(c, s);
    prevCos = c;
    prevSin = s;
    return result;
}

}  // namespace q60
