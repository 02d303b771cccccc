/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Modem lines for pseudo-terminals, for tests preloaded with LD_PRELOAD.
 *
 * A pseudo-terminal has no RTS or DTR: the kernel refuses TIOCM* on it. This
 * library answers those requests itself for descriptors of /dev/pts/N, keeps the
 * bits per descriptor and appends every drive of RTS or DTR to the file named by
 * Q60_MODEM_LINES_LOG, one line per line driven ("/dev/pts/3 RTS 1"), in call
 * order; closing a descriptor whose lines were driven appends "/dev/pts/3 closed",
 * so the log also shows when a port was let go. Every other request goes to the
 * real ioctl. A descriptor's bits are forgotten when it is closed, so a reopened
 * port starts as the system leaves a freshly opened one: both lines up. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

/* Tests look this up to make sure they run with the library loaded. */
__attribute__((visibility("default"))) const int q60_modem_lines_recorder = 1;

enum { maxDescriptors = 1024 };

typedef int (*IoctlFunction)(int, unsigned long, ...);
typedef int (*CloseFunction)(int);

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static int bits[maxDescriptors];
/* Set by the first modem request on a descriptor, cleared by its close(); read
 * and cleared without the lock, so that closing any other descriptor (a forked
 * child closes many) never waits for it. */
static unsigned char known[maxDescriptors];

static pthread_once_t resolved = PTHREAD_ONCE_INIT;
static IoctlFunction nextIoctl;
static CloseFunction nextClose;

static void resolve(void)
{
    nextIoctl = (IoctlFunction)dlsym(RTLD_NEXT, "ioctl");
    nextClose = (CloseFunction)dlsym(RTLD_NEXT, "close");
}

static IoctlFunction realIoctl(void)
{
    pthread_once(&resolved, resolve);
    return nextIoctl;
}

static CloseFunction realClose(void)
{
    pthread_once(&resolved, resolve);
    return nextClose;
}

/* The descriptor's device path when it is a pseudo-terminal's slave side. */
static int ptsPath(int fd, char* path, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, size - 1);
    if (length <= 0)
        return 0;
    path[length] = '\0';
    return strncmp(path, "/dev/pts/", 9) == 0;
}

/* The file is opened for each entry, so a test may empty or replace it at any
 * time; one write per entry keeps each line whole. Called with the lock held. */
static void record(const char* path, const char* what)
{
    const char* logPath = getenv("Q60_MODEM_LINES_LOG");
    if (logPath == NULL || *logPath == '\0')
        return;
    char entry[PATH_MAX + 16];
    const int length = snprintf(entry, sizeof entry, "%s %s\n", path, what);
    const int log = open(logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (log < 0)
        return;
    if (write(log, entry, (size_t)length) != length) {
        /* A lost entry shows as a wrong sequence in the test; nothing else to do. */
    }
    realClose()(log);
}

/* The lines one request drives, RTS before DTR. */
static void recordDrive(const char* path, int mask, int raised)
{
    if (mask & TIOCM_RTS)
        record(path, raised ? "RTS 1" : "RTS 0");
    if (mask & TIOCM_DTR)
        record(path, raised ? "DTR 1" : "DTR 0");
}

static int modemRequest(int fd, unsigned long request, int* argument, const char* path)
{
    if (argument == NULL) {
        errno = EFAULT;
        return -1;
    }
    pthread_mutex_lock(&lock);
    if (!__atomic_load_n(&known[fd], __ATOMIC_ACQUIRE)) {
        __atomic_store_n(&known[fd], 1, __ATOMIC_RELEASE);
        bits[fd] = TIOCM_RTS | TIOCM_DTR;
    }
    switch (request) {
    case TIOCMGET:
        *argument = bits[fd];
        break;
    case TIOCMBIS:
        recordDrive(path, *argument, 1);
        bits[fd] |= *argument;
        break;
    case TIOCMBIC:
        recordDrive(path, *argument, 0);
        bits[fd] &= ~*argument;
        break;
    default: /* TIOCMSET drives both lines, each to its own level. */
        recordDrive(path, TIOCM_RTS, (*argument & TIOCM_RTS) != 0);
        recordDrive(path, TIOCM_DTR, (*argument & TIOCM_DTR) != 0);
        bits[fd] = *argument;
        break;
    }
    pthread_mutex_unlock(&lock);
    return 0;
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...)
{
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);

    const int modem = request == TIOCMGET || request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET;
    char path[PATH_MAX];
    if (modem && fd >= 0 && fd < maxDescriptors && ptsPath(fd, path, sizeof path))
        return modemRequest(fd, request, (int*)argument, path);
    return realIoctl()(fd, request, argument);
}

__attribute__((visibility("default"))) int close(int fd)
{
    char path[PATH_MAX];
    if (fd >= 0 && fd < maxDescriptors && __atomic_exchange_n(&known[fd], 0, __ATOMIC_ACQ_REL) &&
        ptsPath(fd, path, sizeof path)) {
        pthread_mutex_lock(&lock);
        record(path, "closed");
        pthread_mutex_unlock(&lock);
    }
    return realClose()(fd);
}
