// SPDX-License-Identifier: GPL-3.0-or-later
// The capture device on a libpulse record stream: what the server delivers on the
// main loop's thread is appended to our looping ring; the window thread copies its
// new bytes out and runs the receive chain on the copy, without the ring's lock.
#include <QApplication>
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

struct CaptureDevice {
    std::string source;  // empty: the system default
    uint32_t samplesPerSecond = 0;
    std::mutex lock;  // held only while bytes are copied into or out of the ring
    std::vector<uint8_t> ring;
    std::vector<uint8_t> copy;         // what the reader was last granted
    std::atomic<uint64_t> written{0};  // modulo the ring's size: the read position
    uint64_t consumed = 0;             // ring's lock: bytes the reader has taken
    std::atomic<uint32_t> holes{0};
    pa_stream* stream = nullptr;
    bool recording = false;  // main loop's lock
};

namespace {

constexpr uint8_t silence = 128;

// The server hands over a quarter of a second at a time: 4 wake-ups a second, far
// inside the ring's two seconds and the window's half-second drain.
constexpr double fragmentSeconds = 0.25;

// Bytes the reader had not taken yet and that are written over count as one hole.
// A hole in the server's data (bytes == null) keeps its length as silence, so the
// picture keeps its timing.
void appendToRing(CaptureDevice* device, const uint8_t* bytes, size_t length)
{
    const std::lock_guard<std::mutex> guard(device->lock);
    const uint64_t size = device->ring.size();
    uint64_t at = device->written.load();
    if (at + length - device->consumed > size)
        device->holes.fetch_add(1);
    for (size_t done = 0; done < length;) {
        const size_t chunk = std::min<size_t>(length - done, size - at % size);
        if (bytes != nullptr)
            std::memcpy(device->ring.data() + at % size, bytes + done, chunk);
        else
            std::memset(device->ring.data() + at % size, silence, chunk);
        done += chunk;
        at += chunk;
    }
    device->written.store(at);
}

// The count of bytes written by the time the ring's offset end was last passed.
uint64_t takenUpTo(uint64_t written, uint32_t end, uint32_t size)
{
    return written - (written % size + size - end) % size;
}

// Takes what the server says is readable, a fragment at a time, and no more: every
// libpulse call costs a system call, and a monitor may deliver hundreds of fragments a second.
void onReadable(pa_stream* stream, size_t readable, void* userdata)
{
    auto* device = static_cast<CaptureDevice*>(userdata);
    const void* data = nullptr;
    size_t length = 0;
    while (readable > 0 && pa_stream_peek(stream, &data, &length) == 0 && length > 0) {
        if (data == nullptr)
            device->holes.fetch_add(1);
        appendToRing(device, static_cast<const uint8_t*>(data), length);
        pa_stream_drop(stream);
        readable -= std::min(readable, length);
    }
}

// A chosen source that goes while the server stays stops reception with a message;
// a lost server leaves the receiver finding nothing new, as before.
void reportLostInput(const CaptureDevice* device)
{
    noteSoundFailure("Receiving stopped: " + soundDeviceName("input", device->source) +
                     " went away. Check that the device is plugged in.");
    QMetaObject::invokeMethod(
        qApp, [] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* window = dynamic_cast<PlatformWindow*>(widget))
                    window->deliver(WindowMessage{MessageKind::SoundDeviceLost, soundInputLost});
        },
        Qt::QueuedConnection);
}

void onCaptureState(pa_stream* stream, void* userdata)
{
    auto* device = static_cast<CaptureDevice*>(userdata);
    if (device->recording && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        device->recording = false;
        if (audioServerAnswers())
            reportLostInput(device);
    }
    signalAudioWaiters(stream, userdata);
}

void onOverflow(pa_stream*, void* userdata) { static_cast<CaptureDevice*>(userdata)->holes.fetch_add(1); }

void noteOpenFailure(const CaptureDevice* device)
{
    noteSoundOpenFailure("record from", soundDeviceName("input", device->source));
}

pa_stream* newCaptureStream(CaptureDevice* device)
{
    pa_stream* stream = newAudioStream("Receive", device->samplesPerSecond);
    if (stream == nullptr)
        return nullptr;
    pa_stream_set_state_callback(stream, onCaptureState, device);
    pa_stream_set_read_callback(stream, onReadable, device);
    pa_stream_set_overflow_callback(stream, onOverflow, device);
    return stream;
}

// A chosen source is never swapped for another: if it goes, the stream fails.
bool connectCapture(CaptureDevice* device)
{
    const pa_buffer_attr attributes = audioBufferAttributes(device->samplesPerSecond, 0, 0, fragmentSeconds);
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY |
                                                      (device->source.empty() ? 0 : PA_STREAM_DONT_MOVE));
    const char* source = device->source.empty() ? nullptr : device->source.c_str();
    return pa_stream_connect_record(device->stream, source, &attributes, flags) == 0 &&
           waitForStream(device->stream);
}

void endStream(CaptureDevice* device)
{
    device->recording = false;
    endAudioStream(device->stream);
}

}  // namespace

CaptureHandle openCaptureDevice()
{
    auto* device = new CaptureDevice;
    device->source = chosenSoundDevices().input;
    if (audioServerConnects())
        return device;
    noteOpenFailure(device);
    delete device;
    return nullptr;
}

bool createCaptureBuffer(CaptureHandle device, uint32_t bytes, uint32_t samplesPerSecond)
{
    device->ring.assign(bytes, silence);
    device->copy.assign(bytes, silence);
    device->samplesPerSecond = samplesPerSecond;
    const AudioLock lock;
    device->stream = newCaptureStream(device);
    if (device->stream == nullptr)
        noteOpenFailure(device);
    return device->stream != nullptr;
}

bool startCapture(CaptureHandle device)
{
    const AudioLock lock;
    device->holes.store(0);
    device->recording = connectCapture(device);
    if (!device->recording)
        noteOpenFailure(device);
    return device->recording;
}

bool capturePosition(CaptureHandle device, uint32_t& readPosition)
{
    readPosition = static_cast<uint32_t>(device->written.load() % device->ring.size());
    return true;
}

uint32_t captureHoles(CaptureHandle device) { return device->holes.load(); }

// The bytes are copied out under the ring's lock and granted from the copy, so the
// receive chain runs while the server's bytes keep arriving.
bool lockCaptureBuffer(CaptureHandle device, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    const auto size = static_cast<uint32_t>(device->ring.size());
    if (offset >= size || length > size)
        return false;
    const BufferRegions ring = spanRegions(device->ring.data(), size, offset, length);
    {
        const std::lock_guard<std::mutex> guard(device->lock);
        std::memcpy(device->copy.data(), ring.first, ring.firstBytes);
        std::memcpy(device->copy.data() + ring.firstBytes, ring.second, ring.secondBytes);
        device->consumed = takenUpTo(device->written.load(), (offset + length) % size, size);
    }
    regions = spanRegions(device->copy.data(), size, 0, length);
    return true;
}

void unlockCaptureBuffer(CaptureHandle, const BufferRegions&) {}

void stopCapture(CaptureHandle device)
{
    const AudioLock lock;
    endStream(device);
}

void releaseCaptureDevice(CaptureHandle device)
{
    {
        const AudioLock lock;
        endStream(device);
    }
    delete device;
}

}  // namespace q60
