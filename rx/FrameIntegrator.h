// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Frame integration for still pictures: the mean of the last complete pictures, which
// the picture window and the codec show in place of the last one. The RxPicture
// itself stays as received.
#include <cstdint>

namespace q60 {

inline constexpr int maxIntegratedFrames = 16;

// How many complete pictures the mean takes: 1, the default, is off (the last picture
// as it is), up to maxIntegratedFrames; a count outside is clamped. Starts the mean
// afresh. Window thread only, as the rest of the chain.
void setFrameIntegration(int frames);
int frameIntegration();

// At a picture restart: when a frame sync has completed the RxPicture since the last
// call, takes it into the mean and returns true.
bool integrateRxPicture();

// The pictures in the mean: 0 before the first, then up to frameIntegration(). A
// picture that differs markedly from the mean starts it afresh, at 1.
int integratedPictures();

// The mean as paintRxPictureGrey paints the RxPicture (8-bit grey, top row first,
// each row rowRepeat times); before the first complete picture, the RxPicture.
void paintIntegratedGrey(uint8_t* grey, int rowRepeat);

}  // namespace q60
