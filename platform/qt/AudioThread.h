// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thread the sound devices live on (its own event loop serves the sound server,
// so a busy window thread never starves the sound card), and their sample format.
#include <QAudioFormat>
#include <cstdint>
#include <functional>

namespace q60 {

// The one sample format of the system: 8-bit unsigned mono at the given rate.
QAudioFormat unsignedMonoFormat(uint32_t samplesPerSecond);

// Runs work on the audio thread (started on first use) and returns when it is done.
void runOnAudioThread(const std::function<void()>& work);

// Called whenever a device stops; the process must not end right after that.
void noteAudioStopped();

// Ends the audio thread once every device is released, waiting first until the
// sound server has settled after the last stop. Call before the application object ends.
void endAudioThread();

}  // namespace q60
