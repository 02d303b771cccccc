#pragma once
// Reading the RxPicture in tests: its grey values, what a sent grey level should come
// back as, and where each row's line sync lies.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "rx/PictureAssembler.h"

namespace q60::test {

inline uint8_t rxGrey(int row, int column) { return RxPicture[rxPictureRowBytes * row + 3 * column]; }

// The grey a receiver with the default settings shows for a sent grey level.
inline double expectedGrey(int level)
{
    const double step = 0.854 + 0.00175 * level;
    return std::clamp(140.0 + 380.0 * std::sin(step - 1.13977304), 0.0, 255.0);
}

// The first dark column after a lighter one: where the line sync begins in a row.
inline int lineSyncColumn(int row)
{
    for (int column = 0; column < rxPictureWidth; ++column) {
        const int before = (column + rxPictureWidth - 1) % rxPictureWidth;
        if (rxGrey(row, column) == 0 && rxGrey(row, before) != 0)
            return column;
    }
    return -1;
}

}  // namespace q60::test
