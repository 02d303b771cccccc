// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's place on the desktop outside its window: the application object that
// start-up needs before the window exists, one instance per working directory, a
// message before the window is there, and the end signals a session sends.
namespace q60 {

// Runs body with the window system connected and returns its status; the directory
// lock and the signal watch end when it returns.
int runDesktopProgram(int (*body)());

enum class DirectoryLock {
    Taken,       // this process holds it until the program ends
    HeldByPeer,  // another running program holds it; a lock left by a dead one is taken over
    Unwritable,  // the directory cannot be written, so there is nothing to lock
};

// Locks the working directory for this process.
DirectoryLock lockWorkingDirectory();

// A modal message box captioned "info", OK only, owned by no window; returns when closed.
void showStartupMessage(const char* text);

// From now on SIGTERM, SIGINT and SIGHUP call handler on the window thread, from the
// event loop, instead of ending the process; the signal handler itself only wakes it.
void deliverEndSignals(void (*handler)());

}  // namespace q60
