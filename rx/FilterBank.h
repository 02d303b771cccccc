// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The coefficient sets of the receiver's symmetric FIR filters and the lengths in use.
// A set holds half the taps: entry k weighs the k-th oldest and k-th newest sample,
// entry M the centre of a 2M+1-tap filter.
#include <cstdint>

namespace q60 {

inline constexpr int lowPassCoeffCount = 16;   // enough for 31 taps
inline constexpr int highPassCoeffCount = 32;  // enough for 63 taps

extern float lowPassCoeffs[lowPassCoeffCount];
extern float highPassCoeffs[highPassCoeffCount];
extern int32_t lowPass23;   // 1: low-pass with 23 taps, 0: with 31
extern int32_t highPass23;  // 1: high-pass with 23 taps, 0: with 31 (when highPass63 is 0)
extern int32_t highPass63;  // 1: high-pass with 63 taps

// Puts the built-in 23-tap sets and the 23/23/off lengths back in force.
void restoreDefaultFilters();

// Which set a coefficient file replaces: the low-pass or the high-pass with 23 or
// 31 taps (by the count of numbers), or the 63-tap high-pass.
enum class CoefficientSet { LowPass, HighPass, HighPass63 };

// Reads a set from a text file of decimal numbers into the live set. Returns 1 on
// success, 0 on failure.
int loadCoefficientFile(const char* path, CoefficientSet set);

}  // namespace q60
