// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Audio.h: a play buffer in memory whose play
// position the test sets; every call logged.
#include "platform/fake/FakeAudio.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "platform/Audio.h"
#include "platform/SoundChoice.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {

struct PlaybackDevice {};
struct CaptureDevice {};

}  // namespace q60

namespace q60::fake {
namespace {

PlaybackDevice theDevice;
std::set<AudioStep> failingSteps;
std::atomic<uint32_t> position{0};
std::atomic<int> locksToFail{0};
std::atomic<uint32_t> lockShortfall{0};
std::mutex bufferLock;
std::vector<uint8_t> buffer;

bool fails(AudioStep step) { return failingSteps.count(step) != 0; }

CaptureDevice theCaptureDevice;
std::set<CaptureStep> failingCaptureSteps;
std::vector<uint8_t> captureBuffer;
uint32_t capturedUpTo = 0;
int positionsToFail = 0;
int captureLocksToFail = 0;

bool fails(CaptureStep step) { return failingCaptureSteps.count(step) != 0; }

std::atomic<uint32_t> playHoles{0};
uint32_t recordHoles = 0;
SoundChoice choice;

// Takes one from a count of failures to come; true when this call is to fail.
bool takeFailure(int& count)
{
    if (count == 0)
        return false;
    --count;
    return true;
}

}  // namespace

void failAudioStep(AudioStep step) { failingSteps.insert(step); }
void setPlayPosition(uint32_t offset) { position.store(offset); }
void failLocks(int count) { locksToFail.store(count); }
void shortenLocks(uint32_t bytes) { lockShortfall.store(bytes); }

void failCaptureStep(CaptureStep step) { failingCaptureSteps.insert(step); }
void setCapturePosition(uint32_t offset) { capturedUpTo = offset; }
void failCapturePositions(int count) { positionsToFail = count; }
void failCaptureLocks(int count) { captureLocksToFail = count; }
void setHoles(uint32_t playback, uint32_t capture)
{
    playHoles.store(playback);
    recordHoles = capture;
}

void capture(uint32_t offset, const std::vector<uint8_t>& bytes)
{
    const auto size = static_cast<uint32_t>(captureBuffer.size());
    for (uint8_t byte : bytes) {
        captureBuffer[offset] = byte;
        offset = (offset + 1) % size;
    }
    capturedUpTo = offset;
}

std::vector<uint8_t> playBufferContents()
{
    const std::lock_guard<std::mutex> guard(bufferLock);
    return buffer;
}

}  // namespace q60::fake

namespace q60 {

using fake::AudioStep;
using fake::log;
using std::to_string;

PlaybackHandle openPlaybackDevice(WindowHandle)
{
    log("openPlaybackDevice");
    return fake::fails(AudioStep::Open) ? nullptr : &fake::theDevice;
}

bool createPlayBuffer(PlaybackHandle, uint32_t bytes, uint32_t samplesPerSecond)
{
    log("createPlayBuffer " + to_string(bytes) + " " + to_string(samplesPerSecond));
    if (fake::fails(AudioStep::CreateBuffer))
        return false;
    const std::lock_guard<std::mutex> guard(fake::bufferLock);
    fake::buffer.assign(bytes, 128);
    return true;
}

bool startPlayBuffer(PlaybackHandle)
{
    log("startPlayBuffer");
    return !fake::fails(AudioStep::StartBuffer);
}

uint32_t playPosition(PlaybackHandle)
{
    log("playPosition");
    return fake::position.load();
}

// The buffer's own lock is held from lock to unlock, as a real device guards it.
bool lockPlayBuffer(PlaybackHandle, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    log("lockPlayBuffer " + to_string(offset) + " " + to_string(length));
    if (fake::locksToFail.load() > 0) {
        fake::locksToFail.fetch_sub(1);
        return false;
    }
    fake::bufferLock.lock();
    regions = spanRegions(fake::buffer.data(), static_cast<uint32_t>(fake::buffer.size()), offset, length);
    const uint32_t shortfall = fake::lockShortfall.load();
    uint32_t& shortened = regions.secondBytes != 0 ? regions.secondBytes : regions.firstBytes;
    shortened = shortened > shortfall ? shortened - shortfall : 0;
    return true;
}

void unlockPlayBuffer(PlaybackHandle, const BufferRegions& regions)
{
    log("unlockPlayBuffer " + to_string(regions.firstBytes) + " " + to_string(regions.secondBytes));
    fake::bufferLock.unlock();
}

uint32_t playbackHoles(PlaybackHandle) { return fake::playHoles.load(); }

void stopPlayBuffer(PlaybackHandle) { log("stopPlayBuffer"); }

void releasePlaybackDevice(PlaybackHandle) { log("releasePlaybackDevice"); }

using fake::CaptureStep;

CaptureHandle openCaptureDevice()
{
    log("openCaptureDevice");
    return fake::fails(CaptureStep::Open) ? nullptr : &fake::theCaptureDevice;
}

bool createCaptureBuffer(CaptureHandle, uint32_t bytes, uint32_t samplesPerSecond)
{
    log("createCaptureBuffer " + to_string(bytes) + " " + to_string(samplesPerSecond));
    if (fake::fails(CaptureStep::CreateBuffer))
        return false;
    fake::captureBuffer.assign(bytes, 128);
    return true;
}

bool startCapture(CaptureHandle)
{
    log("startCapture");
    return !fake::fails(CaptureStep::Start);
}

bool capturePosition(CaptureHandle, uint32_t& readPosition)
{
    log("capturePosition");
    if (fake::takeFailure(fake::positionsToFail))
        return false;
    readPosition = fake::capturedUpTo;
    return true;
}

bool lockCaptureBuffer(CaptureHandle, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    log("lockCaptureBuffer " + to_string(offset) + " " + to_string(length));
    if (fake::takeFailure(fake::captureLocksToFail))
        return false;
    regions = spanRegions(fake::captureBuffer.data(), static_cast<uint32_t>(fake::captureBuffer.size()), offset,
                          length);
    return true;
}

void unlockCaptureBuffer(CaptureHandle, const BufferRegions& regions)
{
    log("unlockCaptureBuffer " + to_string(regions.firstBytes) + " " + to_string(regions.secondBytes));
}

uint32_t captureHoles(CaptureHandle) { return fake::recordHoles; }

void stopCapture(CaptureHandle) { log("stopCapture"); }

void releaseCaptureDevice(CaptureHandle) { log("releaseCaptureDevice"); }

void chooseSoundDevices(const SoundChoice& choice)
{
    fake::choice = choice;
}

SoundChoice chosenSoundDevices() { return fake::choice; }

}  // namespace q60
