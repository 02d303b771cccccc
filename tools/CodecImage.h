// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of the codec tool: a file in as the TxFrame, the RxPicture out as PNG.
#include <cstdint>
#include <string>

namespace q60 {

// Makes the picture in path the TxFrame. An 8-bit grey 80x60 picture is the TxFrame
// itself; any other is scaled to cover 160x120 keeping its aspect, cut at the centre
// and reduced by the frame grabber. Either way
// the TxFrame is bottom-up, as from a camera, so the received picture stands upright.
// Reports on stderr and returns false when the file cannot be read.
bool loadTxPicture(const std::string& path);

// Writes the RxPicture as the window shows it (or what paint gives in its place, as
// paintRxPictureGrey gives it): an 8-bit grey PNG of 160x60 with the last row at the
// top, or 160x120 with every row twice when tall.
// Reports on stderr and returns false when the file cannot be written.
using GreyPainter = void (*)(uint8_t* grey, int rowRepeat);
bool saveRxPicture(const std::string& path, bool tall, GreyPainter paint);

}  // namespace q60
