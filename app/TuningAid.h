// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Station > Tuning Aid: the window with the spectrum of what the receiver hears and
// the input level, shown or hidden as "station.ini" remembers.
#include <string>

#include "platform/Window.h"
#include "rx/TuningSpectrum.h"

namespace q60 {

inline constexpr int cmdTuningAid = 40130;

// At start, after the Station menu exists: the window shown if it was when the
// program last ran.
void initTuningAid(WindowHandle window);

// Station > Tuning Aid, or the window's own close: shows or hides it.
void tuningAidCommand(WindowHandle window);

// At every tick of the receive timer, after the drain: what arrived since the last
// tick, shown in the window while it is ("RX off" while the receiver is).
void tuningAidTick();

// "input 63 %", "input 100 % CLIPPING", "input 4 % too low"; "no input" when
// nothing arrived.
std::string tuningLevelText(const TuningLook& look);

}  // namespace q60
