// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture file's image made into what the transmitter takes, one way for the
// program and the codec alike: the TxFrame itself, or a camera frame for the grabber.
#include <QIODevice>
#include <QImage>
#include <cstdint>

namespace q60 {

// True when the device holds a PNG that declares a chunk longer than the whole file.
// libpng takes memory for a chunk before it finds the file short (1.5 GB for a file of
// 253 bytes), which no allocation limit of Qt's covers: such a file is refused first.
bool pngChunkOverruns(QIODevice& device);
inline constexpr const char* pngChunkOverrunReason = "a PNG chunk is declared longer than the whole file";

// An 8-bit grey 80x60 picture is the TxFrame itself.
bool isTxFramePicture(const QImage& image);

// That picture as the TxFrame (txFrameBytes), bottom-up as from a camera, so the
// received picture stands upright.
void txFrameOfPicture(const QImage& image, uint8_t* txFrame);

// Any other picture as a camera frame (cameraFrameBytes, bottom-up BGR): scaled to
// cover 160x120 keeping its aspect, cut at the centre. Premultiplied pixels are the
// picture laid over black, so transparent parts send dark.
void cameraFrameOfPicture(const QImage& image, uint8_t* frame);

}  // namespace q60
