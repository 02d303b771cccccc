// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the received picture in a screenshot of the window: before reception it is
// the only black 160x120 rectangle, with no black beside it.
#include <QImage>
#include <QPoint>
#include <optional>

namespace q60::test {

inline constexpr int pictureAreaWidth = 160;
inline constexpr int pictureAreaHeight = 120;  // 60 rows, each painted twice

inline bool isBlack(const QImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && (image.pixel(x, y) & 0xffffff) == 0;
}

// The top left corner of the black rectangle, or none.
inline std::optional<QPoint> pictureArea(const QImage& before)
{
    const int width = pictureAreaWidth;
    const int height = pictureAreaHeight;
    for (int y = 0; y + height <= before.height(); ++y) {
        for (int x = 0; x + width <= before.width(); ++x) {
            if (!isBlack(before, x, y) || isBlack(before, x - 1, y) || isBlack(before, x, y - 1))
                continue;
            bool all = true;
            for (int dy = 0; dy < height && all; ++dy)
                for (int dx = 0; dx < width && all; ++dx)
                    all = isBlack(before, x + dx, y + dy);
            if (all && !isBlack(before, x + width, y) && !isBlack(before, x, y + height))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

}  // namespace q60::test
