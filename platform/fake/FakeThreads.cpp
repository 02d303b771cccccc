// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Threads.h: real threads, or held ones the test
// runs itself; shortened or scripted pauses; every call logged.
#include "platform/fake/FakeThreads.h"

#include <chrono>
#include <string>
#include <thread>

#include "platform/Threads.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {

struct PlatformThread {
    std::thread thread;
    ThreadProcedure procedure = nullptr;
    void* parameter = nullptr;
};

}  // namespace q60

namespace q60::fake {
namespace {

bool startFails = false;
bool held = false;
PlatformThread* lastHeld = nullptr;
std::function<void(int)> sleepHook;

}  // namespace

void failThreadStart() { startFails = true; }
void holdThreads() { held = true; }
uint32_t runHeldThread() { return lastHeld->procedure(lastHeld->parameter); }
void setSleepHook(std::function<void(int)> hook) { sleepHook = std::move(hook); }

}  // namespace q60::fake

namespace q60 {

using fake::log;

ThreadHandle startThread(ThreadProcedure procedure, void* parameter)
{
    log("startThread");
    if (fake::startFails)
        return nullptr;
    auto* thread = new PlatformThread{{}, procedure, parameter};
    if (fake::held)
        fake::lastHeld = thread;
    else
        thread->thread = std::thread(procedure, parameter);
    return thread;
}

void joinThread(ThreadHandle thread)
{
    log("joinThread");
    if (thread->thread.joinable())
        thread->thread.join();
    if (fake::lastHeld == thread)
        fake::lastHeld = nullptr;
    delete thread;
}

void sleepMs(int milliseconds)
{
    log("sleepMs " + std::to_string(milliseconds));
    if (fake::sleepHook)
        fake::sleepHook(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 40));
}

}  // namespace q60
