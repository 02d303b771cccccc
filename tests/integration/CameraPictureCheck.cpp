// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a picture decoded from the test camera's transmission: the camera shows its
// left quarter white and the rest a gradient from black at the top to white at the
// bottom. The receiver's line phase may not have settled in a short recording, so
// each row is read from its own line sync on: the white quarter must follow the sync
// (a mirrored picture puts it before), and the gradient must grow down the picture
// (an upside-down one shrinks).
// Usage: camera_picture_check DECODED.png (160x60 grey, top row first, as decoded)
// Exit status 0 when both hold, 1 otherwise, 2 on bad input.
#include <QImage>
#include <QString>
#include <cstdio>

namespace {

constexpr int width = 160;
constexpr int height = 60;
// Rows read: the bottom row is the frame sync and the one above it may be cut short.
constexpr int firstRow = 1;
constexpr int lastRow = height - 3;
// Below this a pixel is the line sync (black itself comes back at about 33).
constexpr int syncGrey = 15;
// Columns after a row's sync: the white quarter (sent pixels 4 to 19, two columns
// each, less the filters' edges) and the gradient (pixels 25 to 72).
constexpr int quarterFrom = 14, quarterTo = 34;
constexpr int gradientFrom = 50, gradientTo = 145;
// Measured on a recording of 12 s: quarter minus gradient about 130 in the top rows;
// the gradient's bottom rows about 125 above its top rows (57 to 183).
constexpr double quarterFloor = 60;
constexpr double gradientFloor = 60;
// Noise a row's gradient may fall below the row four above it.
constexpr double rowNoise = 8;

int syncColumn(const QImage& picture, int row)
{
    const uchar* line = picture.constScanLine(row);
    for (int column = 0; column < width; ++column)
        if (line[column] < syncGrey && line[(column + width - 1) % width] >= syncGrey)
            return column;
    return -1;
}

double meanAfter(const QImage& picture, int row, int sync, int from, int to)
{
    const uchar* line = picture.constScanLine(row);
    double sum = 0;
    for (int k = from; k <= to; ++k)
        sum += line[(sync + k) % width];
    return sum / (to - from + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: camera_picture_check DECODED.png\n");
        return 2;
    }
    QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.width() != width || picture.height() != height) {
        std::fprintf(stderr, "%s: not a %dx%d picture\n", argv[1], width, height);
        return 2;
    }
    picture = picture.convertToFormat(QImage::Format_Grayscale8);

    double gradient[height] = {};
    double quarterLead = 0;
    int topRows = 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int sync = syncColumn(picture, row);
        if (sync < 0) {
            std::fprintf(stderr, "row %d has no line sync\n", row);
            return 1;
        }
        gradient[row] = meanAfter(picture, row, sync, gradientFrom, gradientTo);
        if (row < firstRow + 20) {
            quarterLead += meanAfter(picture, row, sync, quarterFrom, quarterTo) - gradient[row];
            ++topRows;
        }
    }
    quarterLead /= topRows;
    double top = 0, bottom = 0;
    for (int k = 0; k < 12; ++k) {
        top += gradient[firstRow + k] / 12;
        bottom += gradient[lastRow - k] / 12;
    }
    int reversals = 0;
    for (int row = firstRow + 4; row <= lastRow; ++row)
        reversals += gradient[row] < gradient[row - 4] - rowNoise ? 1 : 0;
    std::printf("white quarter %.1f above the gradient in the top rows; gradient %.1f at the top, %.1f at the "
                "bottom, %d reversals\n",
                quarterLead, top, bottom, reversals);
    const bool upright = bottom - top > gradientFloor && reversals == 0;
    const bool unmirrored = quarterLead > quarterFloor;
    if (!upright)
        std::fprintf(stderr, "the gradient does not grow down the picture: upside down or lost\n");
    if (!unmirrored)
        std::fprintf(stderr, "the white quarter does not follow the line sync: mirrored or lost\n");
    return upright && unmirrored ? 0 : 1;
}
