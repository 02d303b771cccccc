// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds frames from the frame modulator into a looping playback buffer on a thread
// of its own. The TX command, on the window thread, starts and stops it.
#include "tx/TxStreamer.h"

#include <atomic>
#include <cstring>
#include <new>

#include "platform/Audio.h"
#include "platform/Threads.h"
#include "tx/FrameModulator.h"
#include "tx/TxClock.h"

namespace q60 {
namespace {

constexpr uint32_t playBufferBytes = synthBufferBytes;  // about 2.04 s of tone
// A frame corrected for the card's clock is built in the synthesis memory after the
// frame itself.
static_assert(frameSamples + maxCorrectedFrameBytes <= synthBufferBytes);
constexpr int pollPauseMs = 50;
constexpr int idlePauseMs = 500;
constexpr int stopWaitMs = 1000;  // longer than the feeder's longest cycle

PlaybackHandle soundDevice = nullptr;
ThreadHandle feederHandle = nullptr;

// Written by startTx before the thread exists, afterwards by the feeder alone.
uint32_t writeOffset = 0;

// Set by the window thread, read by the feeder at the top of each cycle.
std::atomic<uint32_t> feedActive{0};
std::atomic<uint32_t> feedStop{0};

void releaseSynthBuffer()
{
    delete[] synthBuffer;
    synthBuffer = nullptr;
}

void releaseSound()
{
    if (soundDevice != nullptr)
        releasePlaybackDevice(soundDevice);
    soundDevice = nullptr;
}

bool startSound(WindowHandle window)
{
    soundDevice = openPlaybackDevice(window);
    return soundDevice != nullptr && createPlayBuffer(soundDevice, playBufferBytes, sampleRate) &&
           startPlayBuffer(soundDevice);
}

// Frames are built only into memory that exists: a failed allocation fails the start.
bool obtainSynthBuffer()
{
    synthBuffer = new (std::nothrow) uint8_t[synthBufferBytes];
    return synthBuffer != nullptr;
}

bool writeBlock(const uint8_t* source, uint32_t length, uint32_t offset)
{
    BufferRegions regions;
    if (!lockPlayBuffer(soundDevice, offset, length, regions))
        return false;
    std::memcpy(regions.first, source, regions.firstBytes);
    if (regions.secondBytes != 0)
        std::memcpy(regions.second, source + regions.firstBytes, regions.secondBytes);
    unlockPlayBuffer(soundDevice, regions);
    return regions.firstBytes + regions.secondBytes == length;
}

// A frame that cannot be written is dropped; the next one is built anew.
void sendFrame()
{
    int length = modulateFrame();
    const uint8_t* tone = synthBuffer;
    if (txClockCorrectionPpm() != 0.0) {
        tone = synthBuffer + frameSamples;
        length = correctTxClock(synthBuffer, length, synthBuffer + frameSamples);
    }
    if (!writeBlock(tone, static_cast<uint32_t>(length), writeOffset))
        return;
    writeOffset = writeOffset + static_cast<uint32_t>(length);
    if (writeOffset >= playBufferBytes)
        writeOffset = writeOffset - playBufferBytes;
}

// A distance of 0 counts as a full buffer, so nothing is written until the play
// position has come round to within leadThreshold of writeOffset.
uint32_t feederThread(void*)
{
    while (feedStop.load(std::memory_order_relaxed) == 0) {
        if (feedActive.load(std::memory_order_relaxed) == 0) {
            sleepMs(idlePauseMs);
            continue;
        }
        const uint32_t playCursor = playPosition(soundDevice);
        int32_t distance = static_cast<int32_t>(writeOffset - playCursor);
        if (distance <= 0)
            distance = distance + static_cast<int32_t>(playBufferBytes);
        if (distance <= static_cast<int32_t>(leadThreshold))
            sendFrame();
        sleepMs(pollPauseMs);
    }
    return 0;
}

}  // namespace

bool startTx(WindowHandle window)
{
    if (!obtainSynthBuffer())
        return false;
    if (!startSound(window)) {
        releaseSound();
        releaseSynthBuffer();
        return false;
    }
    writeOffset = 0;
    feedActive.store(1, std::memory_order_relaxed);
    feedStop.store(0, std::memory_order_relaxed);
    feederHandle = startThread(feederThread, nullptr);
    if (feederHandle == nullptr) {
        releaseSound();
        releaseSynthBuffer();
        return false;
    }
    return true;
}

uint32_t txHoles()
{
    return soundDevice == nullptr ? 0 : playbackHoles(soundDevice);
}

// The thread is joined after the wait, so nothing it uses is released under it.
void stopTx()
{
    feedActive.store(0, std::memory_order_relaxed);
    stopPlayBuffer(soundDevice);
    feedStop.store(1, std::memory_order_relaxed);
    sleepMs(stopWaitMs);
    joinThread(feederHandle);
    feederHandle = nullptr;
    releaseSound();
    releaseSynthBuffer();
}

}  // namespace q60
