// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes a picture file's image; produces the TxFrame or a camera frame. Called by
// the program's "Send Picture File..." and by quorrel60-codec encode.
#include "platform/qt/PictureFrame.h"

#include <cstring>

#include "tx/ToneFormat.h"

namespace q60 {

bool isTxFramePicture(const QImage& image)
{
    return image.format() == QImage::Format_Grayscale8 && image.width() == pixelsPerLine &&
           image.height() == txFrameLines;
}

void txFrameOfPicture(const QImage& image, uint8_t* txFrame)
{
    for (int j = 0; j < txFrameLines; ++j)
        std::memcpy(txFrame + pixelsPerLine * j, image.constScanLine(txFrameLines - 1 - j), pixelsPerLine);
}

void cameraFrameOfPicture(const QImage& image, uint8_t* frame)
{
    const QImage covering =
        image.scaled(cameraWidth, cameraHeight, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QImage pixels = covering
                              .copy((covering.width() - cameraWidth) / 2, (covering.height() - cameraHeight) / 2,
                                    cameraWidth, cameraHeight)
                              .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int m = 0; m < cameraHeight; ++m) {
        const auto* source = reinterpret_cast<const QRgb*>(pixels.constScanLine(cameraHeight - 1 - m));
        uint8_t* target = frame + 3 * cameraWidth * m;
        for (int x = 0; x < cameraWidth; ++x) {
            target[3 * x] = static_cast<uint8_t>(qBlue(source[x]));
            target[3 * x + 1] = static_cast<uint8_t>(qGreen(source[x]));
            target[3 * x + 2] = static_cast<uint8_t>(qRed(source[x]));
        }
    }
}

}  // namespace q60
