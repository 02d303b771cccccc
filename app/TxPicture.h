// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is transmitted in place of the camera, a picture file, and the call sign on
// every transmitted picture; kept in the [tx] group of "station.ini".
#include <vector>

#include "platform/StationWindow.h"
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdSendPictureFile = 40205;
inline constexpr int cmdSendCamera = 40206;
inline constexpr int cmdCallSign = 40207;
inline constexpr int cmdCallOverlay = 40208;
inline constexpr int cmdPictureDropped = 40210;  // a file dropped on either window

// The items these commands add to the Station menu.
std::vector<MenuItemText> txPictureMenuItems();

// At start, after the settings file: the [tx] group's picture made the TxFrame, when
// it is the source, and the call sign laid over it when asked for.
void initTxPicture(WindowHandle window);

// Runs one of the commands above; any other ID does nothing.
void txPictureCommand(WindowHandle window, int id);

// True while a picture file, not the camera, is what is sent.
bool pictureFileSent();

}  // namespace q60
