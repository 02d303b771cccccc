// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tuning aid's analysis: the spectrum of what the receiver hears from 1000 to
// 2500 Hz and its input level, over the bytes captured since the last look.
#include <array>
#include <cstddef>
#include <cstdint>

namespace q60 {

inline constexpr int tuningLowHz = 1000;
inline constexpr int tuningHighHz = 2500;
inline constexpr int tuningBinHz = 25;  // 11025 / 441: whole blocks give exact bins
inline constexpr int tuningBins = (tuningHighHz - tuningLowHz) / tuningBinHz + 1;
inline constexpr float tuningFloorDb = -80.0f;  // shown for a bin with no power at all
inline constexpr int tuningLowPercent = 10;     // a level under this is flagged

// What was heard since the last look. dbFullScale[k] is the mean power at
// tuningLowHz + k * tuningBinHz, in dB against a full-scale sine; heldDbFullScale[k]
// the strongest 40 ms block there, held and sinking slowly over the looks, so short
// bursts such as the syncs show; levelPercent the
// peak in percent of full scale; clipping when a byte reached 0 or 255, tooLow when
// the peak stays under tuningLowPercent.
struct TuningLook {
    std::array<float, tuningBins> dbFullScale{};
    std::array<float, tuningBins> heldDbFullScale{};
    size_t samples = 0;
    int levelPercent = 0;
    bool clipping = false;
    bool tooLow = false;
};

// Off (the default) the analysis costs nothing; switching it either way starts afresh.
void enableTuningSpectrum(bool on);

// The bytes the receiver gets, in the order it gets them.
void tuningSpectrumBytes(const uint8_t* bytes, size_t count);

// The spectrum and level of what arrived since the last look; the next look starts
// from here. The spectrum is made of the look's whole 40 ms blocks (its last part
// counts for the level alone); without one, every bin is the floor.
TuningLook takeTuningLook();

}  // namespace q60
