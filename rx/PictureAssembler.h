// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The last stage of the receive chain: levels, line and frame sync, and the RxPicture.
#include <cstddef>
#include <cstdint>

#include "tx/ToneFormat.h"

namespace q60 {

// The receiver's levels, kept in the settings file: value = Brightness + Contrast * x,
// and a value at or below Synclevel is a sync. Window thread only.
extern int32_t Contrast;
extern int32_t Brightness;
extern float Synclevel;

// Fast lock, off by default: at a frame sync where 30 or more line syncs agree on
// where lines start, the line phase jumps there in one step instead of one value.
extern bool fastLock;

// Sturdier sync, off by default. A line sync is found by a matched filter over its 8
// values, once a line; once a frame's line syncs agree, only within 4 values of where
// the next one is due. A frame sync must hold for 112 values on average before it is
// taken, which black in noise and line syncs do not. Switching restarts its filters.
void setSturdySync(bool on);
bool sturdySyncActive();

// 160x60 bottom-up 24-bit picture: pixel i of row r at 480 * r + 3 * i (blue, green,
// red, all one grey value); row 0 is shown at the bottom.
extern uint8_t RxPicture[rxPictureBytes];
// The row that the next finished line goes into.
extern int32_t rowIndex;
// Frame syncs taken since start: a picture restart that raised it ended a whole
// picture, one that did not is the flywheel's. Window thread only.
extern uint32_t frameSyncCount;

// The RxPicture as painted: 8-bit grey, top row first, each row rowRepeat times, so
// rxPictureWidth * rxPictureRows * rowRepeat bytes.
void paintRxPictureGrey(uint8_t* grey, int rowRepeat);

// Entry of the receive chain for one sample: a captured byte minus sampleCentre.
void receiveSample(int32_t sample);

// The same for count captured bytes, as receiveSample takes them one by one; faster,
// as the demodulator works on blocks of them.
void receiveBytes(const uint8_t* bytes, size_t count);

// Takes one discriminator value into the picture.
void assembleValue(float x);

// Called at every picture restart, before the next value is taken, so a window can
// show the finished picture; none is set at start (the codec sets none).
using PictureRestartHandler = void (*)();
void setPictureRestartHandler(PictureRestartHandler handler);

}  // namespace q60
