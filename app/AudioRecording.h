// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record Audio: while receiving, exactly the bytes the receive chain gets are kept
// as a WAV file in the pictures folder; on or off as [pictures] recordAudio.
#include <string>

#include "platform/StationWindow.h"
#include "platform/Window.h"

namespace q60 {

inline constexpr int cmdRecordAudio = 40213;

// The item this command adds to the Station menu.
MenuItemText audioRecordingMenuItem();

// At start, once the pictures folder is known: the setting applied and the
// receiver's bytes tapped.
void initAudioRecording(WindowHandle window, const std::string& folder);

// Runs Record Audio; any other ID does nothing.
void audioRecordingCommand(WindowHandle window, int id);

// At every tick, after the drain: the file ends once RX is off, and a recording
// that failed is stopped with its message.
void audioRecordingTick(WindowHandle window);

// At the window's end: a file still open is finished, its last pad byte written, even
// when RX went off too shortly before for a tick to finish it.
void endAudioRecording();

}  // namespace q60
