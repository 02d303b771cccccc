#pragma once
// The coefficient sets of the receiver's symmetric FIR filters and the lengths in use.
// A set holds half the taps: entry k weighs the k-th oldest and k-th newest sample,
// entry M the centre of a 2M+1-tap filter.
#include <cstdint>

#include "platform/Window.h"

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

// Reads a set from a text file of decimal numbers into the live set: the 63-tap
// high-pass when long63 is non-zero, else the low-pass (lowPass non-zero) or the
// 23/31-tap high-pass. Returns 1 on success, 0 on failure.
int loadCoefficientFile(const char* path, int lowPass, int long63);

// The "load" commands: loads "lpfcoeff.txt", "hpfcoeff.txt" or "hpfcoeff63.txt" as
// the command says and tells the user "load failed" when the file does not load.
void loadCoefficientsCommand(WindowHandle window, int command);

}  // namespace q60
