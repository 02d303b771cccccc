// SPDX-License-Identifier: GPL-3.0-or-later
// SIGTERM, SIGINT and SIGHUP into a call on the window thread: the handler only writes
// a byte into a pipe (a self-pipe), whose read end a QSocketNotifier watches from the
// event loop. Started by start-up, stopped by runDesktopProgram.
#include "platform/qt/EndSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Desktop.h"

namespace q60 {
namespace {

constexpr int endSignals[] = {SIGTERM, SIGINT, SIGHUP};

int wakePipe[2] = {-1, -1};
struct sigaction earlierActions[std::size(endSignals)];
QSocketNotifier* wakeNotifier = nullptr;
void (*endHandler)() = nullptr;

// Runs on whichever thread the signal lands: only async-signal-safe calls.
extern "C" void wakeWindowThread(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void onWake()
{
    char bytes[16];
    while (read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
    endHandler();
}

// A signal the program was started with ignored (nohup, a background job) stays ignored.
void catchSignal(size_t index)
{
    sigaction(endSignals[index], nullptr, &earlierActions[index]);
    if (earlierActions[index].sa_handler == SIG_IGN)
        return;
    struct sigaction action = {};
    action.sa_handler = wakeWindowThread;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(endSignals[index], &action, nullptr);
}

}  // namespace

// Without a pipe the signals keep their default effect: the program ends unsaved.
void deliverEndSignals(void (*handler)())
{
    if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    endHandler = handler;
    wakeNotifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read);
    QObject::connect(wakeNotifier, &QSocketNotifier::activated, wakeNotifier, onWake);
    for (size_t index = 0; index < std::size(endSignals); ++index)
        catchSignal(index);
}

void stopEndSignals()
{
    if (wakeNotifier == nullptr)
        return;
    for (size_t index = 0; index < std::size(endSignals); ++index)
        sigaction(endSignals[index], &earlierActions[index], nullptr);
    delete wakeNotifier;
    wakeNotifier = nullptr;
    close(wakePipe[0]);
    close(wakePipe[1]);
}

}  // namespace q60
