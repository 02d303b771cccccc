// SPDX-License-Identifier: GPL-3.0-or-later
// A libpulse main loop on a thread of its own, with a poll that batches wake-ups.
#include "platform/qt/AudioLoop.h"

#include <poll.h>
#include <pthread.h>
#include <pulse/mainloop.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace q60 {
namespace {

using Clock = std::chrono::steady_clock;

// At most 20 wake-ups a second. Playback asks for bytes while 0.2 s are still queued
// and capture is read into a 2 s ring, so a 50 ms pause costs neither a sample.
constexpr auto wakeGap = std::chrono::milliseconds(50);

pa_mainloop* loop = nullptr;
std::thread runner;

std::mutex loopMutex;  // the loop's lock
std::unique_lock<std::mutex> callerHold(loopMutex, std::defer_lock);
std::condition_variable signalled;  // waits under loopMutex
int waiters = 0;                    // loopMutex

std::mutex gapMutex;  // guards hurry
std::condition_variable gapCut;
bool hurry = false;
Clock::time_point lastWake;  // loop's thread only

void cutGapShort()
{
    const std::lock_guard<std::mutex> guard(gapMutex);
    hurry = true;
    gapCut.notify_one();
}

// Called by the loop with loopMutex held; polls without it. What is ready is taken at
// once, so a batch is drained whole: without shared memory (a server over TCP, or one
// that offers none) each pass reads only part of one packet. Only when nothing is
// ready does the loop pause, unless work is pending (a zero timeout) or a caller waits.
int pollBatched(struct pollfd* descriptors, unsigned long count, int timeoutMs, void*)
{
    const bool mayPause = waiters == 0;
    loopMutex.unlock();
    int ready = ::poll(descriptors, count, 0);
    if (ready == 0 && timeoutMs != 0) {
        const Clock::time_point start = Clock::now();
        if (mayPause) {
            std::unique_lock<std::mutex> gap(gapMutex);
            gapCut.wait_until(gap, lastWake + wakeGap, [] { return hurry; });
            hurry = false;
        }
        const auto paused = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        const int remaining = timeoutMs < 0 ? -1 : std::max(0, timeoutMs - static_cast<int>(paused));
        ready = ::poll(descriptors, count, remaining);
    }
    loopMutex.lock();
    lastWake = Clock::now();
    return ready;
}

void runLoop()
{
    pthread_setname_np(pthread_self(), "audio");
    const std::lock_guard<std::mutex> hold(loopMutex);
    int status = 0;
    pa_mainloop_run(loop, &status);
}

}  // namespace

pa_mainloop_api* audioLoopApi() { return pa_mainloop_get_api(loop); }

void lockAudioLoop()
{
    if (loop == nullptr) {
        loop = pa_mainloop_new();
        pa_mainloop_set_poll_func(loop, pollBatched, nullptr);
        runner = std::thread(runLoop);
    }
    callerHold.lock();
}

// What a caller queued is sent now rather than after the pause.
void unlockAudioLoop()
{
    callerHold.unlock();
    cutGapShort();
}

void waitAudioLoop()
{
    ++waiters;
    cutGapShort();
    pa_mainloop_wakeup(loop);
    signalled.wait(callerHold);
    --waiters;
}

void signalAudioLoop() { signalled.notify_all(); }

void endAudioLoop()
{
    if (loop == nullptr)
        return;
    callerHold.lock();
    pa_mainloop_quit(loop, 0);
    callerHold.unlock();
    cutGapShort();
    pa_mainloop_wakeup(loop);
    runner.join();
    pa_mainloop_free(loop);
    loop = nullptr;
}

}  // namespace q60
