// SPDX-License-Identifier: GPL-3.0-or-later
// One QThread with an event loop for every sound device of the program.
#include "platform/qt/AudioThread.h"

#include <QObject>
#include <QThread>
#include <chrono>
#include <thread>

namespace q60 {
namespace {

using Clock = std::chrono::steady_clock;

// Qt 6.4 can abort inside libpulse when the process ends just after a stream stopped;
// after this long it no longer does.
constexpr auto settleTime = std::chrono::milliseconds(300);

QThread* audioThread = nullptr;
QObject* audioContext = nullptr;
Clock::time_point lastStop;

}  // namespace

QAudioFormat unsignedMonoFormat(uint32_t samplesPerSecond)
{
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(samplesPerSecond));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);
    return format;
}

void runOnAudioThread(const std::function<void()>& work)
{
    if (audioThread == nullptr) {
        audioThread = new QThread;
        audioThread->setObjectName(QStringLiteral("audio"));
        audioContext = new QObject;
        audioContext->moveToThread(audioThread);
        audioThread->start(QThread::TimeCriticalPriority);
    }
    QMetaObject::invokeMethod(audioContext, work, Qt::BlockingQueuedConnection);
}

void noteAudioStopped() { lastStop = Clock::now(); }

void endAudioThread()
{
    if (audioThread == nullptr)
        return;
    std::this_thread::sleep_until(lastStop + settleTime);
    audioThread->quit();
    audioThread->wait();
    delete audioContext;
    delete audioThread;
    audioContext = nullptr;
    audioThread = nullptr;
}

}  // namespace q60
