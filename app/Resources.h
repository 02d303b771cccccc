// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's built-in resources: command and control IDs, the main dialog's
// template with its menu, and the icon.
#include "platform/Window.h"

namespace q60 {

// Menu commands.
inline constexpr int cmdPreview = 131;
inline constexpr int cmdOverlay = 132;
inline constexpr int cmdVideoFormat = 134;
inline constexpr int cmdVideoSource = 135;
inline constexpr int cmdVideoDisplay = 136;
inline constexpr int cmdExit = 150;
inline constexpr int cmdDriver0 = 151;  // appended at start, one per capture driver
inline constexpr int cmdDriver1 = 152;
inline constexpr int cmdLoadLowPass = 40081;
inline constexpr int cmdLoadHighPass = 40082;
inline constexpr int cmdLoadHighPass63 = 40083;  // no menu item carries it
inline constexpr int cmdTestPic = 40084;
inline constexpr int cmdPortNone = 40085;
inline constexpr int cmdPortCom1 = 40086;
inline constexpr int cmdPortCom2 = 40087;

// Controls; the buttons' IDs are also the commands they send.
inline constexpr int idTxButton = 1070;
inline constexpr int idRxButton = 1071;
inline constexpr int idLevelBar = 1072;
inline constexpr int idBrightnessSlider = 1073;
inline constexpr int idContrastSlider = 1074;

// The "&Options" popup, where the capture drivers are appended.
inline constexpr int optionsPopup = 1;

// The timer that drives reception.
inline constexpr int rxTimerId = 1;
inline constexpr int rxTimerPeriodMs = 500;

// Where the receiver's picture sits in the client area, in pixels.
inline constexpr int pictureX = 5;
inline constexpr int pictureY = 0;

// The main dialog: caption, controls, menu and icon.
extern const DialogTemplate mainDialogTemplate;

}  // namespace q60
