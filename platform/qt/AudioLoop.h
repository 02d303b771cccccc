// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thread that serves the sound server: a libpulse main loop of our own whose poll
// lets at least 50 ms pass between wake-ups, so the server's packets are taken in
// batches (a monitor source sends one per block of its sink, hundreds a second when
// another client holds the sink at low latency). A caller waiting for an answer
// cuts the pause short.
#include <pulse/mainloop-api.h>

namespace q60 {

// The loop's API for a new context; the loop starts on first use.
pa_mainloop_api* audioLoopApi();

// The loop's lock: held by the loop while it dispatches, by callers around every
// libpulse call they make.
void lockAudioLoop();
void unlockAudioLoop();

// Under the lock: waits until the loop signals (a state or an operation changed).
void waitAudioLoop();
// On the loop's thread, from a callback: wakes every waitAudioLoop.
void signalAudioLoop();

// Ends the loop's thread; the lock must not be held.
void endAudioLoop();

}  // namespace q60
