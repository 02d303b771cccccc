// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up around the main dialog: options, the working directory and its lock, the
// warning that settings cannot be saved there, and the end signals. Called by main().
#include "app/Startup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "app/CommandLine.h"
#include "app/MainDialog.h"
#include "app/Resources.h"
#include "platform/Desktop.h"

namespace q60 {
namespace {

constexpr int exitFailure = 1;

const char* const alreadyRunningText = "Quorrel 60line is already running in this directory.";
const char* const unwritableText =
    "This directory cannot be written: the settings will not be saved when Quorrel 60line ends.";

// A logout, a shutdown or Ctrl+C ends the program as its close box does: the radio
// unkeyed before the tone stops, the settings written, status 0.
void closeOnEndSignal()
{
    if (mainWindow != nullptr)
        postClose(mainWindow);
}

// A second instance in the same directory would write the same files and key the
// same port: it leaves before reading or touching anything.
int runInstance()
{
    switch (lockWorkingDirectory()) {
    case DirectoryLock::HeldByPeer:
        showStartupMessage(alreadyRunningText);
        return exitFailure;
    case DirectoryLock::Unwritable:
        showStartupMessage(unwritableText);
        break;
    case DirectoryLock::Taken:
        break;
    }
    deliverEndSignals(closeOnEndSignal);
    return runMainDialog(mainDialogTemplate, mainWindowProc);
}

}  // namespace

int runProgram(int argc, char* const* argv)
{
    const CommandLine line = parseCommandLine(argc, argv);
    if (line.action != CommandLineAction::Run)
        return answerCommandLine(line);
    if (line.directory != nullptr && chdir(line.directory) != 0) {
        std::fprintf(stderr, "quorrel60: cannot work in %s: %s\n", line.directory, std::strerror(errno));
        return exitFailure;
    }
    return runDesktopProgram(runInstance);
}

}  // namespace q60
