// SPDX-License-Identifier: GPL-3.0-or-later
// The transmit commands of the main dialog, on the window thread: they start and stop
// the transmit streamer, key the radio through push-to-talk and keep the menu marks.
#include "app/TxCommands.h"

#include "app/MainDialog.h"
#include "app/ReceiverSettings.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "platform/Serial.h"
#include "tx/FrameModulator.h"
#include "tx/PttControl.h"
#include "tx/TxClock.h"
#include "tx/TxStreamer.h"

namespace q60 {
namespace {

void markPort(WindowHandle window, int id)
{
    checkMenuItem(window, cmdPortCom1, id == cmdPortCom1);
    checkMenuItem(window, cmdPortCom2, id == cmdPortCom2);
    checkMenuItem(window, cmdPortNone, id == cmdPortNone);
}

}  // namespace

// Push-to-talk rises only once the tone runs and falls before it stops.
void txCommand(WindowHandle window)
{
    if (txActive) {
        setPtt(false);
        txActive = false;
        stopTx();
        return;
    }
    txActive = true;
    setTxClockCorrection(chosenReceiver().txPpm);
    if (startTx(window)) {
        setPtt(true);
        return;
    }
    txActive = false;
    showMessage(window, "directsound init failed");
}

// Transmission itself goes on (the next TX press stops it as usual); only the key
// is released, since a keyed transmitter without tone is a hazard on the air.
void playbackLost()
{
    if (txActive)
        setPtt(false);
}

// A port that cannot be opened still becomes the choice: the user sees it marked,
// and keying simply does nothing until it exists.
void portCommand(WindowHandle window, int id)
{
    const int port = id - cmdPortNone;
    setPtt(false);
    openPort("close");
    if (port != 0) {
        openPort(portNames[port]);
        if (txActive)
            setPtt(true);
    }
    TX_Port = port;
    markPort(window, id);
}

void describePorts(WindowHandle window)
{
    setMenuItemTip(window, cmdPortCom1, serialPortDevice(portNames[1]).c_str());
    setMenuItemTip(window, cmdPortCom2, serialPortDevice(portNames[2]).c_str());
}

void testPicCommand(WindowHandle window)
{
    const bool marked = testPicture.load(std::memory_order_relaxed);
    checkMenuItem(window, cmdTestPic, !marked);
    testPicture.store(!marked, std::memory_order_relaxed);
}

}  // namespace q60
