// Test implementation of platform/Audio.h: a play buffer in memory whose play
// position the test sets; every call logged.
#include "platform/fake/FakeAudio.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "platform/Audio.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {

struct PlaybackDevice {};

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

}  // namespace

void failAudioStep(AudioStep step) { failingSteps.insert(step); }
void setPlayPosition(uint32_t offset) { position.store(offset); }
void failLocks(int count) { locksToFail.store(count); }
void shortenLocks(uint32_t bytes) { lockShortfall.store(bytes); }

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
    const auto size = static_cast<uint32_t>(fake::buffer.size());
    regions.first = fake::buffer.data() + offset;
    regions.firstBytes = length < size - offset ? length : size - offset;
    regions.second = fake::buffer.data();
    regions.secondBytes = length - regions.firstBytes;
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

void stopPlayBuffer(PlaybackHandle) { log("stopPlayBuffer"); }

void releasePlaybackDevice(PlaybackHandle) { log("releasePlaybackDevice"); }

}  // namespace q60
