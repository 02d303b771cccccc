// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the filter coefficient sets that the FM demodulator reads on every sample;
// the receiver start restores the defaults, the coefficient commands load files.
#include "rx/FilterBank.h"

#include <bit>
#include <cstdio>

#include <locale.h>

#include "rx/RegularFile.h"

namespace q60 {

float lowPassCoeffs[lowPassCoeffCount] = {};
float highPassCoeffs[highPassCoeffCount] = {};
int32_t lowPass23 = 1;
int32_t highPass23 = 1;
int32_t highPass63 = 0;

namespace {

constexpr int defaultCoeffCount = 12;  // a 23-tap set
constexpr int longCoeffCount = 16;     // a 31-tap set

// The default sets as IEEE 754 bit patterns, so every build holds exactly the same floats.
constexpr uint32_t defaultLowPassBits[defaultCoeffCount] = {
    0xb7fe9525, 0xbb21b952, 0xbb834063, 0x3b3f29f3, 0x3c82221f, 0x3c5996f5,
    0xbcad6345, 0xbd6a5734, 0xbcc7d541, 0x3de50508, 0x3e9152f0, 0x3eb9e2f9};
constexpr uint32_t defaultHighPassBits[defaultCoeffCount] = {
    0x377e5f38, 0x3ac1b110, 0x3ba1f99f, 0x3c1c7b2a, 0x3c447c9c, 0x3be20e5b,
    0xbc34e341, 0xbd33d5e8, 0xbdb43abc, 0xbe08ebee, 0xbe2c7178, 0x3f518236};

// Reads up to count numbers into target, stored as read. The first attempt that
// meets the end of the file or anything but a whole number (a lone sign included)
// ends the reading, so the result is the number of leading numbers.
int readLeadingNumbers(std::FILE* file, float* target, int count)
{
    for (int k = 0; k < count; ++k) {
        float value = 0.0F;
        if (std::fscanf(file, "%f", &value) != 1)
            return k;
        target[k] = value;
    }
    return count;
}

int loadLongHighPass(std::FILE* file)
{
    if (readLeadingNumbers(file, highPassCoeffs, highPassCoeffCount) == highPassCoeffCount) {
        highPass63 = 1;
        return 1;
    }
    highPass63 = 0;
    // A half-read set must never run: fall back to the defaults as a failed 23/31-tap load does.
    restoreDefaultFilters();
    return 0;
}

int loadShortSet(std::FILE* file, CoefficientSet set)
{
    const bool lowPass = set == CoefficientSet::LowPass;
    float* target = lowPass ? lowPassCoeffs : highPassCoeffs;
    int32_t& use23 = lowPass ? lowPass23 : highPass23;
    if (!lowPass)
        highPass63 = 0;
    const int numbers = readLeadingNumbers(file, target, longCoeffCount);
    if (numbers == defaultCoeffCount) {
        use23 = 1;
        return 1;
    }
    if (numbers == longCoeffCount) {
        use23 = 0;
        return 1;
    }
    restoreDefaultFilters();
    return 0;
}

}  // namespace

void restoreDefaultFilters()
{
    lowPass23 = 1;
    highPass23 = 1;
    highPass63 = 0;
    for (int k = 0; k < defaultCoeffCount; ++k) {
        lowPassCoeffs[k] = std::bit_cast<float>(defaultLowPassBits[k]);
        highPassCoeffs[k] = std::bit_cast<float>(defaultHighPassBits[k]);
    }
}

int loadCoefficientFile(const char* path, CoefficientSet set)
{
    std::FILE* file = openRegularFile(path);
    if (file == nullptr)
        return 0;
    // The files use a decimal point whatever locale the desktop gave the program.
    const locale_t pointLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    const locale_t previous = uselocale(pointLocale);
    const int result = set == CoefficientSet::HighPass63 ? loadLongHighPass(file) : loadShortSet(file, set);
    uselocale(previous);
    if (pointLocale != locale_t{})
        freelocale(pointLocale);
    std::fclose(file);
    return result;
}

}  // namespace q60
