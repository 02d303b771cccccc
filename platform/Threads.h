// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Threads of the system's own and pauses.
#include <cstdint>

namespace q60 {

struct PlatformThread;
using ThreadHandle = PlatformThread*;
using ThreadProcedure = uint32_t (*)(void* parameter);

// Runs procedure(parameter) on a new thread; null when no thread could be made.
ThreadHandle startThread(ThreadProcedure procedure, void* parameter);

// Waits until the thread has returned, then frees its handle.
void joinThread(ThreadHandle thread);

// Pauses the calling thread.
void sleepMs(int milliseconds);

}  // namespace q60
