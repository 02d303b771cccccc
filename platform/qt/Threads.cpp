// SPDX-License-Identifier: GPL-3.0-or-later
// Threads and pauses of the real platform, on the standard library.
#include "platform/Threads.h"

#include <chrono>
#include <new>
#include <system_error>
#include <thread>

namespace q60 {

struct PlatformThread {
    std::thread thread;
};

ThreadHandle startThread(ThreadProcedure procedure, void* parameter)
{
    auto* handle = new (std::nothrow) PlatformThread;
    if (handle == nullptr)
        return nullptr;
    try {
        handle->thread = std::thread(procedure, parameter);
    } catch (const std::system_error&) {
        delete handle;
        return nullptr;
    }
    return handle;
}

void joinThread(ThreadHandle thread)
{
    thread->thread.join();
    delete thread;
}

void sleepMs(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace q60
