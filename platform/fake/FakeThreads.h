// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake threads and pauses.
#include <cstdint>
#include <functional>

namespace q60::fake {

// Every later startThread fails.
void failThreadStart();

// Held threads do not run until the test runs the last one itself, on its own
// thread, with runHeldThread: a feeder driven step by step.
void holdThreads();
uint32_t runHeldThread();

// Called with each pause's length instead of pausing (from whichever thread pauses).
// Without a hook a pause lasts a twenty-fifth of its length, so threads still yield.
void setSleepHook(std::function<void(int milliseconds)> hook);

}  // namespace q60::fake
