// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the program's options, before anything else happens: help, version and
// misuse never need a display. Called by start-up (app/Startup.cpp).
#include "app/CommandLine.h"

#include <cstdio>
#include <cstring>

namespace q60 {
namespace {

constexpr int exitSuccess = 0;
constexpr int exitUsage = 2;

const char* const usageText =
    "usage: quorrel60 [--dir DIR]\n"
    "       quorrel60 --help | --version\n"
    "Quorrel 60line sends and receives 60-line narrow-band television pictures as\n"
    "tone through the sound card and keys the radio through a serial port.\n"
    "  --dir DIR   work in DIR: the settings and the coefficient files are read and\n"
    "              written there (default: the directory it is started from)\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "Started from the desktop menu it works in $XDG_DATA_HOME/quorrel60\n"
    "(~/.local/share/quorrel60). One instance runs per directory.\n";

const char* const dirOption = "--dir";

// "--dir=DIR" or "--dir DIR"; moves index past what it used. Null when DIR is missing.
const char* dirArgument(int argc, char* const* argv, int& index)
{
    const char* argument = argv[index];
    const size_t length = std::strlen(dirOption);
    if (argument[length] == '=')
        return argument[length + 1] == '\0' ? nullptr : argument + length + 1;
    if (index + 1 >= argc)
        return nullptr;
    return argv[++index];
}

bool isDirOption(const char* argument)
{
    const size_t length = std::strlen(dirOption);
    return std::strncmp(argument, dirOption, length) == 0 && (argument[length] == '\0' || argument[length] == '=');
}

}  // namespace

CommandLine parseCommandLine(int argc, char* const* argv)
{
    CommandLine line;
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "--version") == 0) {
            if (line.action == CommandLineAction::Run)
                line.action = argument[2] == 'h' ? CommandLineAction::Help : CommandLineAction::Version;
        } else if (isDirOption(argument)) {
            line.directory = dirArgument(argc, argv, index);
            if (line.directory == nullptr)
                return CommandLine{CommandLineAction::Misuse, nullptr, argument};
        } else {
            return CommandLine{CommandLineAction::Misuse, nullptr, argument};
        }
    }
    return line;
}

int answerCommandLine(const CommandLine& line)
{
    switch (line.action) {
    case CommandLineAction::Help:
        std::fputs(usageText, stdout);
        return exitSuccess;
    case CommandLineAction::Version:
        std::printf("quorrel60 %s\n", Q60_VERSION);
        return exitSuccess;
    case CommandLineAction::Misuse:
        if (isDirOption(line.misuse))
            std::fprintf(stderr, "quorrel60: %s needs a directory\n", dirOption);
        else
            std::fprintf(stderr, "quorrel60: unknown argument %s\n", line.misuse);
        break;
    case CommandLineAction::Run:
        break;
    }
    std::fputs(usageText, stderr);
    return exitUsage;
}

}  // namespace q60
