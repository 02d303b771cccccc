// SPDX-License-Identifier: GPL-3.0-or-later
// One instance per working directory: a QLockFile beside "settings.txt", held from
// start-up to the end of the run. Taken by start-up, released by runDesktopProgram.
#include "platform/qt/DirectoryLock.h"

#include <QLockFile>
#include <memory>

#include "platform/Desktop.h"

namespace q60 {
namespace {

const char* const lockFileName = "quorrel60.lock";

std::unique_ptr<QLockFile> heldLock;

}  // namespace

DirectoryLock lockWorkingDirectory()
{
    auto lock = std::make_unique<QLockFile>(QString::fromUtf8(lockFileName));
    // A run lasts hours: only a lock whose process has gone is stale, never an old one.
    // Qt's default would try to take over a live program's lock after 30 s, held off
    // only by the file system's own lock where it has one.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        heldLock = std::move(lock);
        return DirectoryLock::Taken;
    }
    return lock->error() == QLockFile::LockFailedError ? DirectoryLock::HeldByPeer : DirectoryLock::Unwritable;
}

void unlockWorkingDirectory() { heldLock.reset(); }

}  // namespace q60
