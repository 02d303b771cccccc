// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, options and all, with a pseudo-terminal standing in for COM 1,
// so that an end-to-end test can watch push-to-talk through the preloaded
// modem-lines recorder without opening a real serial port.
#include <cstdlib>
#include <fcntl.h>

#include "app/Startup.h"
#include "platform/qt/SerialLines.h"

int main(int argc, char** argv)
{
    // The far end stays open for the whole run, so the port never hangs up.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return EXIT_FAILURE;
    q60::setSerialPortPath("COM1", QString::fromUtf8(::ptsname(master)));
    return q60::runProgram(argc, argv);
}
