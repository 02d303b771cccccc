// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tuning aid's window: a small spectrum of what the receiver hears, with marks at
// the tones that matter, and the input level as text.
#include <string>
#include <vector>

#include "platform/Window.h"

namespace q60 {

// One look: levels in dB against full scale, the first at lowHz and each next one
// stepHz higher, drawn from floorDb (bottom) to 0 dB (top), filled; held levels at
// the same tones as a line over them; marks at these tones; the level text, shown as
// a warning when warn.
struct TuningPicture {
    std::vector<float> levelsDb;
    std::vector<float> heldDb;
    int lowHz = 0;
    int stepHz = 1;
    float floorDb = -80.0f;
    std::vector<int> marksHz;
    std::string levelText;
    bool warn = false;
};

// Shows or hides the tuning window, made on first use; closing it by its own means
// sends closeCommand instead, so the logic decides and remembers.
void showTuningWindow(WindowHandle owner, bool shown, int closeCommand);

// What the tuning window shows from now on.
void setTuningPicture(const TuningPicture& picture);

}  // namespace q60
