// SPDX-License-Identifier: GPL-3.0-or-later
// The receive commands of the main dialog, on the window thread: they start and stop
// capture, drain it into the receive chain at each tick, and show the RxPicture.
#include "app/RxCommands.h"

#include <cstdint>

#include "app/MainDialog.h"
#include "app/Pictures.h"
#include "app/ReceiverSettings.h"
#include "app/Resources.h"
#include "rx/FilterBank.h"
#include "rx/FmDemodulator.h"
#include "rx/PictureAssembler.h"
#include "rx/RxRecorder.h"

namespace q60 {
namespace {

constexpr double levelLowDivisor = 255.0;

void showFinishedPicture()
{
    repaintNow(mainWindow);
    pictureRestarted();
}

}  // namespace

void onRxButton(WindowHandle window)
{
    if (rxActive) {
        stopRx();
        rxActive = false;
        return;
    }
    if (startRx() != 0) {
        rxActive = false;
        showMessage(window, "directsound start record failed");
        return;
    }
    rxActive = true;
    applyReceiverChoice();
}

// Only the low peak is divided: the bar shows about the positive peak amplitude.
void rxTimerTick(WindowHandle window)
{
    if (!rxActive)
        return;
    drainCapture();
    const double meter = levelHigh - levelLow / levelLowDivisor;
    setLevelBar(window, static_cast<int32_t>(meter));
}

void loadCoefficientsCommand(WindowHandle window, int command)
{
    int loaded = 0;
    if (command == cmdLoadLowPass)
        loaded = loadCoefficientFile("lpfcoeff.txt", CoefficientSet::LowPass);
    else if (command == cmdLoadHighPass)
        loaded = loadCoefficientFile("hpfcoeff.txt", CoefficientSet::HighPass);
    else if (command == cmdLoadHighPass63)
        loaded = loadCoefficientFile("hpfcoeff63.txt", CoefficientSet::HighPass63);
    if (loaded == 0)
        showMessage(window, "load failed");
}

void paintPicture(WindowHandle window)
{
    stretchBitmap(window, pictureX, pictureY, rxPictureWidth, paintedPictureHeight, RxPicture,
                  rxPictureWidth, rxPictureRows);
}

void repaintAtPictureRestart()
{
    setPictureRestartHandler(showFinishedPicture);
}

}  // namespace q60
