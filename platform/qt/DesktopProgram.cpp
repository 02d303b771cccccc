// SPDX-License-Identifier: GPL-3.0-or-later
// The application object for the whole run, from the start-up checks to the end of
// the main dialog, and the message box that start-up shows before the window exists.
#include <QApplication>
#include <QMessageBox>

#include "platform/Desktop.h"
#include "platform/qt/DirectoryLock.h"
#include "platform/qt/EndSignals.h"

namespace q60 {

int runDesktopProgram(int (*body)())
{
    // QApplication keeps argc and argv for its whole life; the program's own
    // options were read before it, and Qt's are not offered.
    static int argc = 1;
    static char name[] = "quorrel60";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    const int status = body();
    stopEndSignals();
    unlockWorkingDirectory();
    return status;
}

void showStartupMessage(const char* text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("info"), QString::fromUtf8(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace q60
