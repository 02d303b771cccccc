// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Received pictures kept and shown large: the last complete picture, held with its
// time when the signal ends, the picture window and saving into the pictures folder.
#include <ctime>
#include <string>
#include <vector>

#include "platform/StationWindow.h"
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdPictureWindow = 40201;
inline constexpr int cmdSmoothScaling = 40202;
inline constexpr int cmdSavePicture = 40203;
inline constexpr int cmdCopyPicture = 40204;
inline constexpr int cmdRecordPictures = 40209;

// A picture is held, and marked so, once no frame sync has come for this long.
inline constexpr int pictureHoldMs = 2000;

// The items these commands add to the Station menu.
std::vector<MenuItemText> pictureMenuItems();

// At start, after the Station menu exists: the [pictures] group applied.
void initPictures(WindowHandle window);

// Runs one of the commands above; any other ID does nothing.
void pictureCommand(WindowHandle window, int id);

// At every picture restart: a restart by a frame sync completes a picture.
void pictureRestarted();

// Where pictures are saved: [pictures] folder, or one in the desktop's pictures folder.
std::string keptPicturesFolder();

// The name the pictures folder's files take from their UTC time: YYYYMMDD-HHMMSSZ.
std::string utcFileStem(std::time_t time);

// At every tick of the receive timer, after the drain: the held mark, the picture
// being sent, and a recording that failed stopped with its message
// (pictures and audio alike).
void pictureTick(WindowHandle window);

}  // namespace q60
