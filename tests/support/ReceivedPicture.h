// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the RxPicture in tests: its grey values, what a sent grey level should come
// back as, and where each row's line sync lies.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "rx/PictureAssembler.h"

namespace q60::test {

inline uint8_t rxGrey(int row, int column) { return RxPicture[rxPictureRowBytes * row + 3 * column]; }

// The grey a receiver with the default settings shows for a sent grey level.
inline double expectedGrey(int level)
{
    const double step = 0.854 + 0.00175 * level;
    return std::clamp(140.0 + 380.0 * std::sin(step - 1.13977304), 0.0, 255.0);
}

// The first dark column after a lighter one: where the line sync begins in a row of
// a picture read through grey(row, column).
template <typename Grey>
int lineSyncColumnOf(const Grey& grey, int row)
{
    for (int column = 0; column < rxPictureWidth; ++column) {
        const int before = (column + rxPictureWidth - 1) % rxPictureWidth;
        if (grey(row, column) == 0 && grey(row, before) != 0)
            return column;
    }
    return -1;
}

inline int lineSyncColumn(int row) { return lineSyncColumnOf(rxGrey, row); }

struct RampError {
    double mean = 0;
    double worst = 0;
    int worstRow = 0;
    int worstColumn = 0;
};

// A received test ramp against expectedGrey. The line phase settles with the line sync
// beginning at column 0 or 1 (or 1 and 2 in turn, row by row), depending on where
// reception began; sent pixel i (grey level 3i) lands on columns 2i+1 and 2i+2 when it
// begins at 1, one column either way otherwise. Checked: pixels 6 to 77, the ramp's
// body (pixels 0 to 3 carry the sync and the filters smooth its edges into pixels 4, 5
// and 78); the top row stops at pixel 75, as the next frame's phase restart throws a
// white spike that the filters spread back over the end of the line before it.
template <typename Grey>
RampError rampErrorOf(const Grey& grey)
{
    RampError error;
    double sum = 0;
    int count = 0;
    for (int row = 1; row < rxPictureRows; ++row) {
        const int shift = lineSyncColumnOf(grey, row) - 1;
        const int lastPixel = row == rxPictureRows - 1 ? 75 : 77;
        for (int i = 6; i <= lastPixel; ++i) {
            for (int column : {2 * i + 1 + shift, 2 * i + 2 + shift}) {
                const double difference = std::fabs(grey(row, column) - expectedGrey(3 * i));
                sum += difference;
                ++count;
                if (difference > error.worst) {
                    error.worst = difference;
                    error.worstRow = row;
                    error.worstColumn = column;
                }
            }
        }
    }
    error.mean = sum / count;
    return error;
}

// Mean difference between a received picture, read through grey(row, column), and the
// ideal one, where a receiver in line shows sent line n (of 80 pixels) in row n + 1,
// pixel i on columns 2i+1 and 2i+2; pixels 6 to 77 (75 in the top row), as rampErrorOf
// takes them.
template <typename Grey>
double idealPictureErrorOf(const Grey& grey, const std::vector<uint8_t>& sent)
{
    double sum = 0;
    int count = 0;
    for (int row = 1; row < rxPictureRows; ++row) {
        const int lastPixel = row == rxPictureRows - 1 ? 75 : 77;
        for (int i = 6; i <= lastPixel; ++i) {
            const double ideal = expectedGrey(sent[pixelsPerLine * (row - 1) + i]);
            for (int column : {2 * i + 1, 2 * i + 2})
                sum += std::fabs(grey(row, column) - ideal);
            count += 2;
        }
    }
    return sum / count;
}

// The same for the RxPicture.
inline double idealPictureError(const std::vector<uint8_t>& sent) { return idealPictureErrorOf(rxGrey, sent); }

// Where the line syncs stand in the RxPicture, robust to noise: the first column of
// the darkest run of 8 columns (one line sync's length), summed over rows 1 to 59.
inline int syncColumn()
{
    constexpr int syncColumns = 2 * lineSyncPixels;
    int best = 0;
    long bestSum = -1;
    for (int start = 0; start < rxPictureWidth; ++start) {
        long sum = 0;
        for (int row = 1; row < rxPictureRows; ++row)
            for (int k = 0; k < syncColumns; ++k)
                sum += rxGrey(row, (start + k) % rxPictureWidth);
        if (bestSum < 0 || sum < bestSum) {
            bestSum = sum;
            best = start;
        }
    }
    return best;
}

// The move from one sync column to the next, -80 to 79.
inline int columnStep(int from, int to)
{
    const int step = (to - from + rxPictureWidth + rxPictureWidth / 2) % rxPictureWidth;
    return step - rxPictureWidth / 2;
}

}  // namespace q60::test
