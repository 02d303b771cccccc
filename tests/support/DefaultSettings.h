// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Puts every setting back to the value it has at program start, for tests and fuzz
// targets that read settings files one after another in one process.
#include <cstdio>

#include "app/Settings.h"
#include "rx/PictureAssembler.h"

namespace q60::test {

inline void resetSettingsToDefaults()
{
    TX_Port = 0;
    VideoDriver = 0;
    Contrast = 380;
    Brightness = 140;
    Synclevel = 10.0F;
    std::snprintf(Call, sizeof Call, "%s", "NOCALL");
}

}  // namespace q60::test
