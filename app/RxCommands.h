// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receive side of the main dialog: the RX button, the receiver's timer, the
// coefficient loads and the painting of the received picture.
#include "platform/Window.h"

namespace q60 {

// The RX button: reception on or off.
void onRxButton(WindowHandle window);

// The 500 ms timer: drain, then show the input level.
void rxTimerTick(WindowHandle window);

// The "load" commands: loads "lpfcoeff.txt", "hpfcoeff.txt" or "hpfcoeff63.txt" as
// the command says and tells the user "load failed" when the file does not load.
void loadCoefficientsCommand(WindowHandle window, int command);

// Paints the RxPicture into the window at 5,0, each row twice, row 0 at the bottom.
void paintPicture(WindowHandle window);

// Has every picture restart repaint the main window before the drain goes on.
void repaintAtPictureRestart();

}  // namespace q60
