// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The persistent settings of the program, with their built-in defaults, and the
// file "settings.txt" in the working directory that keeps them across runs; the
// receiver's levels among them belong to the picture assembler.
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

inline constexpr int callCapacity = 11;  // characters of a call sign

extern int32_t TX_Port;      // push-to-talk port: 0 none, 1 COM1, 2 COM2
extern int32_t VideoDriver;  // capture driver, 0 or 1
extern char Call[callCapacity + 1];  // station call sign, one word

// Reads the file by position and applies the port, then the driver choice, as
// commands to the window. No file: every value keeps its default, nothing is sent.
void readSettings(WindowHandle window);

// Writes the six values, replacing the file only once the new one is complete.
void writeSettings();

}  // namespace q60
