// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the loader of the coefficient files ("lpfcoeff.txt", "hpfcoeff.txt",
// "hpfcoeff63.txt"). The first input byte picks the set to load and the filter state
// before it; the rest is the file. A load either puts exactly the file's leading
// numbers in force and leaves everything else as it was, or fails and leaves exactly
// the built-in filters in force: never a mixture of the two.
#include <locale.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "rx/FilterBank.h"

namespace q60 {
namespace {

constexpr int shortSet = 12;  // numbers of a 23-tap set
constexpr int longSet = 16;   // of a 31-tap set

struct FilterState {
    std::array<float, lowPassCoeffCount> low;
    std::array<float, highPassCoeffCount> high;
    int32_t low23;
    int32_t high23;
    int32_t high63;
};

FilterState current()
{
    FilterState state{};
    std::memcpy(state.low.data(), lowPassCoeffs, sizeof lowPassCoeffs);
    std::memcpy(state.high.data(), highPassCoeffs, sizeof highPassCoeffs);
    state.low23 = lowPass23;
    state.high23 = highPass23;
    state.high63 = highPass63;
    return state;
}

// Bitwise, so NaN coefficients compare as stored.
bool sameFloats(const float* a, const float* b, int count) { return std::memcmp(a, b, sizeof(float) * count) == 0; }

bool sameState(const FilterState& a, const FilterState& b)
{
    return sameFloats(a.low.data(), b.low.data(), lowPassCoeffCount) &&
           sameFloats(a.high.data(), b.high.data(), highPassCoeffCount) && a.low23 == b.low23 &&
           a.high23 == b.high23 && a.high63 == b.high63;
}

FilterState builtIn;  // after restoreDefaultFilters, taken once
std::string lowPassPath;  // the files in the scratch directory, named as the commands name them
std::string highPassPath;
std::string highPass63Path;

// Every entry marked with a value no file or default gives, flags from the selector.
void setStateBefore(uint8_t selector)
{
    if ((selector & 0x80) != 0) {
        restoreDefaultFilters();
        return;
    }
    for (int k = 0; k < lowPassCoeffCount; ++k)
        lowPassCoeffs[k] = 1000.0F + static_cast<float>(k);
    for (int k = 0; k < highPassCoeffCount; ++k)
        highPassCoeffs[k] = 2000.0F + static_cast<float>(k);
    lowPass23 = (selector >> 2) & 1;
    highPass23 = (selector >> 3) & 1;
    highPass63 = (selector >> 4) & 1;
}

// The file's leading numbers as scanf reads them with a decimal point, up to limit.
int leadingNumbers(const uint8_t* data, size_t size, float* numbers, int limit)
{
    if (size == 0)
        return 0;
    std::FILE* file = ::fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr)
        fuzz::fail("fmemopen failed");
    const locale_t pointLocale = ::newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    const locale_t previous = ::uselocale(pointLocale);
    int count = 0;
    while (count < limit && std::fscanf(file, "%f", &numbers[count]) == 1)
        ++count;
    ::uselocale(previous);
    ::freelocale(pointLocale);
    std::fclose(file);
    return count;
}

// The built-in sets and lengths are in force; entries past the 23-tap sets may hold anything.
bool builtInInForce()
{
    return lowPass23 == 1 && highPass23 == 1 && highPass63 == 0 &&
           sameFloats(lowPassCoeffs, builtIn.low.data(), shortSet) &&
           sameFloats(highPassCoeffs, builtIn.high.data(), shortSet);
}

// What a successful load must leave: the state before with the numbers and one length changed.
FilterState expectedAfterLoad(FilterState state, CoefficientSet set, const float* numbers, int count)
{
    if (set == CoefficientSet::HighPass63) {
        std::memcpy(state.high.data(), numbers, sizeof(float) * count);
        state.high63 = 1;
    } else if (set == CoefficientSet::LowPass) {
        std::memcpy(state.low.data(), numbers, sizeof(float) * count);
        state.low23 = count == shortSet ? 1 : 0;
    } else {
        std::memcpy(state.high.data(), numbers, sizeof(float) * count);
        state.high23 = count == shortSet ? 1 : 0;
        state.high63 = 0;
    }
    return state;
}

}  // namespace
}  // namespace q60

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    q60::fuzz::makeScratchDirectory();
    q60::lowPassPath = q60::fuzz::scratchPath("lpfcoeff.txt");
    q60::highPassPath = q60::fuzz::scratchPath("hpfcoeff.txt");
    q60::highPass63Path = q60::fuzz::scratchPath("hpfcoeff63.txt");
    q60::restoreDefaultFilters();
    q60::builtIn = q60::current();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace q60;
    if (size == 0)
        return 0;
    const uint8_t selector = data[0];
    const auto set = static_cast<CoefficientSet>(selector % 3);
    const bool long63 = set == CoefficientSet::HighPass63;
    const std::string& path = long63                           ? highPass63Path
                              : set == CoefficientSet::LowPass ? lowPassPath
                                                               : highPassPath;
    fuzz::writeWholeFile(path, data + 1, size - 1);

    setStateBefore(selector);
    const FilterState before = current();
    std::array<float, highPassCoeffCount> numbers{};
    const int count = leadingNumbers(data + 1, size - 1, numbers.data(), long63 ? highPassCoeffCount : longSet);
    const bool loads = long63 ? count == highPassCoeffCount : count == shortSet || count == longSet;

    const int result = loadCoefficientFile(path.c_str(), set);
    fuzz::check(result == (loads ? 1 : 0), "the load's result is not what the file's numbers call for");
    if (loads)
        fuzz::check(sameState(current(), expectedAfterLoad(before, set, numbers.data(), count)),
                    "a load changed more or less than its set and length");
    else
        fuzz::check(builtInInForce(), "a failed load left something other than the built-in filters in force");
    return 0;
}
