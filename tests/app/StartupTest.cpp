// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up around the main dialog on the fake desktop: the options, the directory
// lock's answers and the end signal, checked by the calls they lead to.
#include "app/Startup.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainDialog.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {
namespace {

using Calls = std::vector<std::string>;

// The program's name, then the arguments: argv as main() receives it.
std::vector<char*> argvOf(std::initializer_list<const char*> arguments)
{
    std::vector<char*> argv{const_cast<char*>("quorrel60")};
    for (const char* argument : arguments)
        argv.push_back(const_cast<char*>(argument));
    return argv;
}

int runWith(std::initializer_list<const char*> arguments)
{
    std::vector<char*> argv = argvOf(arguments);
    return runProgram(static_cast<int>(argv.size()), argv.data());
}

CommandLineAction actionOf(std::initializer_list<const char*> arguments)
{
    std::vector<char*> argv = argvOf(arguments);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data()).action;
}

TEST(CommandLineTest, OnlyHelpVersionAndDirWithADirectoryAreTaken)
{
    EXPECT_EQ(actionOf({}), CommandLineAction::Run);
    EXPECT_EQ(actionOf({"--dir", "x"}), CommandLineAction::Run);
    EXPECT_EQ(actionOf({"--dir=x"}), CommandLineAction::Run);
    EXPECT_EQ(actionOf({"--dir", "x", "--help"}), CommandLineAction::Help);
    EXPECT_EQ(actionOf({"--version", "--help"}), CommandLineAction::Version);
    EXPECT_EQ(actionOf({"--directory", "x"}), CommandLineAction::Misuse);
    EXPECT_EQ(actionOf({"--help", "-v"}), CommandLineAction::Misuse);
}

TEST(StartupTest, ASecondInstanceIsToldAndLeavesBeforeTheDialog)
{
    fake::setDirectoryLock(DirectoryLock::HeldByPeer);
    EXPECT_EQ(runWith({}), 1);
    EXPECT_EQ(fake::callLog(), (Calls{"runDesktopProgram", "lockWorkingDirectory",
                                      "showStartupMessage Quorrel 60line is already running in this directory."}));
}

TEST(StartupTest, AnUnwritableDirectoryIsReportedOnceAndTheDialogRuns)
{
    fake::setDirectoryLock(DirectoryLock::Unwritable);
    EXPECT_EQ(runWith({}), 0);
    EXPECT_EQ(fake::callLog(),
              (Calls{"runDesktopProgram", "lockWorkingDirectory",
                     "showStartupMessage This directory cannot be written: the settings will not be saved "
                     "when Quorrel 60line ends.",
                     "deliverEndSignals", "runMainDialog"}));
}

TEST(StartupTest, AnEndSignalClosesTheWindowOnceItExists)
{
    EXPECT_EQ(runWith({}), 0);
    fake::callLog().clear();
    fake::sendEndSignal();
    EXPECT_TRUE(fake::callLog().empty()) << "no window yet";
    mainWindow = fake::window();
    fake::sendEndSignal();
    EXPECT_EQ(fake::callLog(), Calls{"postClose"});
}

}  // namespace
}  // namespace q60
