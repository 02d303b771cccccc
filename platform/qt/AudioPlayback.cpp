// SPDX-License-Identifier: GPL-3.0-or-later
// The playback device on a libpulse stream: the server asks for bytes on the main
// loop's thread and gets them from our looping ring, which the feeder thread writes
// in place.
#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Audio.h"
#include "platform/SoundChoice.h"
#include "platform/qt/AudioThread.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {

struct PlaybackDevice {
    QPointer<PlatformWindow> window;
    std::string sink;  // empty: the system default, which the server may move
    double levelDb = 0.0;
    uint32_t samplesPerSecond = 0;
    std::mutex lock;  // held by a writer from lockPlayBuffer to unlockPlayBuffer
    std::vector<uint8_t> ring;
    std::atomic<uint64_t> taken{0};  // modulo the ring's size: where the stream reads next
    std::atomic<uint32_t> holes{0};
    pa_stream* stream = nullptr;
    bool playing = false;  // main loop's lock
};

namespace {

constexpr uint8_t silence = 128;

// The server never asks for more than the target length at once, so the ring's read
// position never jumps further than that. It stays below the feeder's lead of 3500
// bytes, or a request could overtake bytes not yet written and replay old ones.
constexpr double targetSeconds = 0.3;
// Without latency adjustment the sink is asked for the target less two requests as
// its own latency, 0.2 s here, and the stream keeps the rest. A sink that slow renders
// in long blocks, so the server sends us few packets: about 5 requests and, where we
// record its monitor, 20 fragments a second (with 0.1 s requests, 10 and 39). A
// request of 0.15 s or more would leave the sink no latency at all, to be run in
// blocks of a few samples. With latency adjustment the sink would be asked for
// (target - 2 requests) / 2, near zero at these sizes.
constexpr double requestSeconds = 0.05;

void copyFromRing(PlaybackDevice* device, uint8_t* out, size_t length)
{
    const std::lock_guard<std::mutex> guard(device->lock);
    const uint64_t size = device->ring.size();
    uint64_t at = device->taken.load();
    for (size_t done = 0; done < length;) {
        const size_t chunk = std::min<size_t>(length - done, size - at % size);
        std::memcpy(out + done, device->ring.data() + at % size, chunk);
        done += chunk;
        at += chunk;
    }
    device->taken.store(at);
}

void onWritable(pa_stream* stream, size_t requested, void* userdata)
{
    auto* device = static_cast<PlaybackDevice*>(userdata);
    while (requested > 0) {
        void* data = nullptr;
        size_t length = requested;
        if (pa_stream_begin_write(stream, &data, &length) < 0 || length == 0)
            return;
        copyFromRing(device, static_cast<uint8_t*>(data), length);
        pa_stream_write(stream, data, length, nullptr, 0, PA_SEEK_RELATIVE);
        requested -= std::min(length, requested);
    }
}

void onUnderflow(pa_stream*, void* userdata) { static_cast<PlaybackDevice*>(userdata)->holes.fetch_add(1); }

std::string outputName(const PlaybackDevice* device) { return soundDeviceName("output", device->sink); }

void reportLoss(PlaybackDevice* device, const WindowMessage& message)
{
    QMetaObject::invokeMethod(
        qApp, [window = device->window, message] {
            if (window)
                window->deliver(message);
        },
        Qt::QueuedConnection);
}

// A stream that fails while playing lost its server, or, while the server still
// answers, its chosen device.
void onPlaybackState(pa_stream* stream, void* userdata)
{
    auto* device = static_cast<PlaybackDevice*>(userdata);
    if (device->playing && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        device->playing = false;
        if (!audioServerAnswers())
            return reportLoss(device, WindowMessage{MessageKind::PlaybackLost});
        noteSoundFailure("Transmitting stopped: " + outputName(device) +
                         " went away. Check that the device is plugged in.");
        reportLoss(device, WindowMessage{MessageKind::SoundDeviceLost, soundOutputLost});
    }
    signalAudioWaiters(stream, userdata);
}

void noteOpenFailure(const PlaybackDevice* device) { noteSoundOpenFailure("play on", outputName(device)); }

pa_stream* newPlaybackStream(PlaybackDevice* device)
{
    pa_stream* stream = newAudioStream("Transmit", device->samplesPerSecond);
    if (stream == nullptr)
        return nullptr;
    pa_stream_set_state_callback(stream, onPlaybackState, device);
    pa_stream_set_write_callback(stream, onWritable, device);
    pa_stream_set_underflow_callback(stream, onUnderflow, device);
    return stream;
}

// A chosen sink is never swapped for another: if it goes, the stream fails.
bool connectPlayback(PlaybackDevice* device)
{
    const pa_buffer_attr attributes =
        audioBufferAttributes(device->samplesPerSecond, targetSeconds, requestSeconds, 0);
    pa_cvolume volume;
    pa_cvolume_set(&volume, 1, pa_sw_volume_from_dB(device->levelDb));
    const auto flags = static_cast<pa_stream_flags_t>(device->sink.empty() ? PA_STREAM_NOFLAGS : PA_STREAM_DONT_MOVE);
    const char* sink = device->sink.empty() ? nullptr : device->sink.c_str();
    return pa_stream_connect_playback(device->stream, sink, &attributes, flags, &volume, nullptr) == 0 &&
           waitForStream(device->stream);
}

void endStream(PlaybackDevice* device)
{
    device->playing = false;
    endAudioStream(device->stream);
}

}  // namespace

PlaybackHandle openPlaybackDevice(WindowHandle window)
{
    const SoundChoice choice = chosenSoundDevices();
    auto* device = new PlaybackDevice;
    device->window = window;
    device->sink = choice.output;
    device->levelDb = choice.txLevelDb;
    if (audioServerConnects())
        return device;
    noteOpenFailure(device);
    delete device;
    return nullptr;
}

bool createPlayBuffer(PlaybackHandle device, uint32_t bytes, uint32_t samplesPerSecond)
{
    device->ring.assign(bytes, silence);
    device->samplesPerSecond = samplesPerSecond;
    const AudioLock lock;
    device->stream = newPlaybackStream(device);
    if (device->stream == nullptr)
        noteOpenFailure(device);
    return device->stream != nullptr;
}

bool startPlayBuffer(PlaybackHandle device)
{
    const AudioLock lock;
    device->taken.store(0);
    device->holes.store(0);
    device->playing = connectPlayback(device);
    if (!device->playing)
        noteOpenFailure(device);
    return device->playing;
}

uint32_t playPosition(PlaybackHandle device) { return static_cast<uint32_t>(device->taken.load() % device->ring.size()); }

uint32_t playbackHoles(PlaybackHandle device) { return device->holes.load(); }

bool lockPlayBuffer(PlaybackHandle device, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    const auto size = static_cast<uint32_t>(device->ring.size());
    if (offset >= size || length > size)
        return false;
    device->lock.lock();
    regions = spanRegions(device->ring.data(), size, offset, length);
    return true;
}

void unlockPlayBuffer(PlaybackHandle device, const BufferRegions&) { device->lock.unlock(); }

void stopPlayBuffer(PlaybackHandle device)
{
    const AudioLock lock;
    endStream(device);
}

void releasePlaybackDevice(PlaybackHandle device)
{
    {
        const AudioLock lock;
        endStream(device);
    }
    delete device;
}

}  // namespace q60
