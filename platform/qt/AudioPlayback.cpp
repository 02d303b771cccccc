// SPDX-License-Identifier: GPL-3.0-or-later
// The playback device on QAudioSink: a looping ring that the sink pulls from on the
// audio thread while the feeder thread writes into it in place.
#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Audio.h"
#include "platform/qt/AudioThread.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

// The sink's own buffer: 0.8 s wakes the sound server's client thread far less often
// than Qt's default (about 0.15 s) for the same tone; under about 0.2 s it can stall.
// The feeder's lead is counted from what the sink has taken, so this adds no risk.
constexpr double sinkBufferSeconds = 0.8;

// Plays its bytes round and round; the count of bytes handed out, modulo the size,
// is exactly where the sink has read up to.
class PlayRing : public QIODevice {
public:
    explicit PlayRing(uint32_t size) : bytes(size, silence) {}

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return static_cast<qint64>(bytes.size()) + QIODevice::bytesAvailable(); }

    uint32_t position() const { return static_cast<uint32_t>(taken.load() % bytes.size()); }

    std::mutex lock;  // held by a writer from lockPlayBuffer to unlockPlayBuffer
    std::vector<uint8_t> bytes;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const std::lock_guard<std::mutex> guard(lock);
        const uint64_t size = bytes.size();
        for (qint64 done = 0; done < maxSize;) {
            const uint64_t at = taken.load() % size;
            const qint64 chunk = std::min<qint64>(maxSize - done, static_cast<qint64>(size - at));
            std::memcpy(data + done, bytes.data() + at, static_cast<size_t>(chunk));
            taken.fetch_add(static_cast<uint64_t>(chunk));
            done += chunk;
        }
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static constexpr uint8_t silence = 128;
    std::atomic<uint64_t> taken{0};
};

}  // namespace

struct PlaybackDevice {
    QAudioDevice output;
    QPointer<PlatformWindow> window;
    // Made, used and deleted on the audio thread.
    PlayRing* ring = nullptr;
    QAudioSink* sink = nullptr;
    bool playing = false;
};

namespace {

// The sink stops on its own only when the device or the sound server failed.
void watchForFailure(PlaybackDevice* device)
{
    QObject::connect(device->sink, &QAudioSink::stateChanged, device->sink, [device](QAudio::State state) {
        if (state != QAudio::StoppedState || device->sink->error() == QAudio::NoError || !device->playing)
            return;
        device->playing = false;
        QMetaObject::invokeMethod(
            qApp, [window = device->window] {
                if (window)
                    window->deliver(WindowMessage{MessageKind::PlaybackLost});
            },
            Qt::QueuedConnection);
    });
}

}  // namespace

PlaybackHandle openPlaybackDevice(WindowHandle window)
{
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return nullptr;
    return new PlaybackDevice{output, window};
}

bool createPlayBuffer(PlaybackHandle device, uint32_t bytes, uint32_t samplesPerSecond)
{
    const QAudioFormat format = unsignedMonoFormat(samplesPerSecond);
    if (!device->output.isFormatSupported(format))
        return false;
    runOnAudioThread([device, bytes, format] {
        device->ring = new PlayRing(bytes);
        // Unbuffered: QIODevice's own buffer would read 16 KB ahead and hide the position.
        device->ring->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        device->sink = new QAudioSink(device->output, format);
        device->sink->setBufferSize(static_cast<qsizetype>(sinkBufferSeconds * format.sampleRate()));
        watchForFailure(device);
    });
    return true;
}

bool startPlayBuffer(PlaybackHandle device)
{
    bool started = false;
    runOnAudioThread([device, &started] {
        device->sink->start(device->ring);
        started = device->sink->error() == QAudio::NoError && device->sink->state() != QAudio::StoppedState;
        device->playing = started;
    });
    return started;
}

uint32_t playPosition(PlaybackHandle device) { return device->ring->position(); }

bool lockPlayBuffer(PlaybackHandle device, uint32_t offset, uint32_t length, BufferRegions& regions)
{
    PlayRing& ring = *device->ring;
    const auto size = static_cast<uint32_t>(ring.bytes.size());
    if (offset >= size || length > size)
        return false;
    ring.lock.lock();
    regions = spanRegions(ring.bytes.data(), size, offset, length);
    return true;
}

void unlockPlayBuffer(PlaybackHandle device, const BufferRegions&) { device->ring->lock.unlock(); }

void stopPlayBuffer(PlaybackHandle device)
{
    runOnAudioThread([device] {
        device->playing = false;
        if (device->sink != nullptr)
            device->sink->stop();
    });
    noteAudioStopped();
}

void releasePlaybackDevice(PlaybackHandle device)
{
    runOnAudioThread([device] {
        device->playing = false;
        delete device->sink;
        delete device->ring;
    });
    noteAudioStopped();
    delete device;
}

}  // namespace q60
