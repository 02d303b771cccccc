// SPDX-License-Identifier: GPL-3.0-or-later
// The capture device on QAudioSource: what the source delivers on the audio thread
// is appended to a looping ring that the window thread reads in place.
#include <QAudioDevice>
#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/Audio.h"
#include "platform/qt/AudioThread.h"

namespace q60 {

struct CaptureDevice {
    QAudioDevice input;
    std::mutex lock;  // held by a reader from lockCaptureBuffer to unlockCaptureBuffer
    std::vector<uint8_t> ring;
    std::atomic<uint64_t> written{0};  // modulo the ring's size: the read position
    // Made, used and deleted on the audio thread. Qt deletes the data device itself
    // when the source stops or fails, hence the guarded pointer.
    QAudioSource* source = nullptr;
    QPointer<QIODevice> data;
};

namespace {

// The source's own buffer: 0.4 s, drained twice a second, means fewer wake-ups than
// Qt's default for the same samples.
constexpr double sourceBufferSeconds = 0.4;

void appendCaptured(CaptureDevice* device)
{
    if (!device->data)
        return;
    const QByteArray bytes = device->data->readAll();
    const std::lock_guard<std::mutex> guard(device->lock);
    const uint64_t size = device->ring.size();
    uint64_t at = device->written.load();
    for (const char byte : bytes)
        device->ring[at++ % size] = static_cast<uint8_t>(byte);
    device->written.store(at);
}

}  // namespace

CaptureHandle openCaptureDevice()
{
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (input.isNull())
        return nullptr;
    auto* device = new CaptureDevice;
    device->input = input;
    return device;
}

bool createCaptureBuffer(CaptureHandle device, uint32_t bytes, uint32_t samplesPerSecond)
{
    const QAudioFormat format = unsignedMonoFormat(samplesPerSecond);
    if (!device->input.isFormatSupported(format))
        return false;
    device->ring.assign(bytes, 128);
    runOnAudioThread([device, format] {
        device->source = new QAudioSource(device->input, format);
        device->source->setBufferSize(static_cast<qsizetype>(sourceBufferSeconds * format.sampleRate()));
    });
    return true;
}

bool startCapture(CaptureHandle device)
{
    bool started = false;
    runOnAudioThread([device, &started] {
        device->data = device->source->start();
        started = device->data != nullptr && device->source->error() == QAudio::NoError;
        if (started)
            QObject::connect(device->data, &QIODevice::readyRead, device->data, [device] { appendCaptured(device); });
    });
    return started;
}

bool capturePosition(CaptureHandle device, uint32_t& readPosition)
{
    readPosition = static_cast<uint32_t>(device->written.load() % device->ring.size());
    return true;
}

bool lockCaptureBuffer(CaptureHandle device, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    const auto size = static_cast<uint32_t>(device->ring.size());
    if (offset >= size || length > size)
        return false;
    device->lock.lock();
    regions = spanRegions(device->ring.data(), size, offset, length);
    return true;
}

void unlockCaptureBuffer(CaptureHandle device, const BufferRegions&) { device->lock.unlock(); }

void stopCapture(CaptureHandle device)
{
    runOnAudioThread([device] {
        if (device->source != nullptr)
            device->source->stop();
    });
    noteAudioStopped();
}

void releaseCaptureDevice(CaptureHandle device)
{
    runOnAudioThread([device] { delete device->source; });
    noteAudioStopped();
    delete device;
}

}  // namespace q60
