// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's call sign drawn onto every transmitted picture (camera, picture file
// and test ramp alike): white letters on a black box in the bottom-left corner.
#include <cstdint>
#include <string_view>

#include "tx/ToneFormat.h"

namespace q60 {

inline constexpr int callOverlayMaxCharacters = 11;

// A call sign as the station may set it: 1 to 11 visible characters, no spaces.
bool isValidCallSign(std::string_view call);

// The call sign to draw, at most callOverlayMaxCharacters of it; empty for none.
// Window thread (or the codec); the feeder thread sees the change from its next pixel.
void setCallOverlay(std::string_view call);

// The grey the overlay puts at pixel i of TxFrame line n (line 0 at the bottom), or
// -1 where the picture shows through. Feeder thread.
int callOverlayGrey(int line, int i);

}  // namespace q60
