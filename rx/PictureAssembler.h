#pragma once
// The last stage of the receive chain: levels, line and frame sync, and the RxPicture.
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

inline constexpr int rxPictureWidth = 160;  // values per received line
inline constexpr int rxPictureRows = 60;
inline constexpr int rxPictureRowBytes = 3 * rxPictureWidth;
inline constexpr int rxPictureBytes = rxPictureRowBytes * rxPictureRows;

// 160x60 bottom-up 24-bit picture: pixel i of row r at 480 * r + 3 * i (blue, green,
// red, all one grey value); row 0 is shown at the bottom.
extern uint8_t RxPicture[rxPictureBytes];
// The row that the next finished line goes into.
extern int32_t rowIndex;

// Entry of the receive chain for one sample: a captured byte minus 128.
void receiveSample(int32_t sample);

// Takes one discriminator value into the picture.
void assembleValue(float x);

// Paints the RxPicture into the window at 5,0, each row twice, row 0 at the bottom.
void paintPicture(WindowHandle window);

}  // namespace q60
