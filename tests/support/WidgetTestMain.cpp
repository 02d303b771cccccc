// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the widget tests: one QApplication on the offscreen platform, then the tests.
#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt/AudioThread.h"

int main(int argc, char** argv)
{
    // No display is needed or wanted: the offscreen plugin renders into memory.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string runtime = "/tmp/q60-test-runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    q60::endAudioThread();
    return status;
}
