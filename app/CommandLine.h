// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's few options. Started without any, it runs in the directory it is
// started from; --dir names another, --help and --version answer on the terminal.

namespace q60 {

enum class CommandLineAction { Run, Help, Version, Misuse };

struct CommandLine {
    CommandLineAction action = CommandLineAction::Run;
    const char* directory = nullptr;  // --dir's directory, null without one
    const char* misuse = nullptr;     // Misuse: the argument at fault, or the option lacking one
};

CommandLine parseCommandLine(int argc, char* const* argv);

// Answers Help, Version and Misuse on standard output or standard error and returns
// the exit status: 0, or 2 for a misuse.
int answerCommandLine(const CommandLine& line);

}  // namespace q60
