// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes a picture file's image; produces the TxFrame or a camera frame. Called by
// the program's "Send Picture File..." and by quorrel60-codec encode.
#include "platform/qt/PictureFrame.h"

#include <QByteArray>
#include <QRect>
#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "tx/ToneFormat.h"

namespace q60 {
namespace {

// The centre of the picture at 4:3: what covers the camera frame once scaled. Cut
// before scaling, so a long thin picture (8 by 3 million pixels) is never scaled up
// to a huge one first.
QRect coveringArea(const QSize& size)
{
    const qint64 width = size.width();
    const qint64 height = size.height();
    if (width * cameraHeight > height * cameraWidth) {
        const auto cut = static_cast<int>(std::max<qint64>(1, (height * cameraWidth + cameraHeight / 2) / cameraHeight));
        return QRect(static_cast<int>(width - cut) / 2, 0, cut, size.height());
    }
    const auto cut = static_cast<int>(std::max<qint64>(1, (width * cameraHeight + cameraWidth / 2) / cameraWidth));
    return QRect(0, static_cast<int>(height - cut) / 2, size.width(), cut);
}

}  // namespace

bool pngChunkOverruns(QIODevice& device)
{
    constexpr qint64 signatureBytes = 8;
    constexpr qint64 chunkFrameBytes = 12;  // length, type and checksum
    if (device.isSequential() || device.peek(signatureBytes) != QByteArray("\x89PNG\r\n\x1a\n", signatureBytes))
        return false;
    const qint64 start = device.pos();
    const qint64 size = device.size();
    bool overruns = false;
    for (qint64 at = start + signatureBytes; !overruns && at + 4 <= size && device.seek(at);) {
        const QByteArray length = device.read(4);
        const qint64 chunk = qFromBigEndian<quint32>(length.constData());
        overruns = chunk > size;
        at += chunkFrameBytes + chunk;
    }
    device.seek(start);
    return overruns;
}

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
    const QImage pixels = image.copy(coveringArea(image.size()))
                              .scaled(cameraWidth, cameraHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
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
