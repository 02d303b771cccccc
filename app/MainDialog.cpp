// SPDX-License-Identifier: GPL-3.0-or-later
// The main dialog's window procedure: routes every message of the window to the
// module that does the work, and runs the start-up and shut-down sequences.
#include "app/MainDialog.h"

#include <cstdint>

#include "app/AudioRecording.h"
#include "app/CameraCommands.h"
#include "app/Help.h"
#include "app/Pictures.h"
#include "app/PttSettings.h"
#include "app/ReceiverSettings.h"
#include "app/Resources.h"
#include "app/RxCommands.h"
#include "app/Settings.h"
#include "app/SoundHoles.h"
#include "app/Station.h"
#include "app/StatusLine.h"
#include "app/TuningAid.h"
#include "app/TxCommands.h"
#include "rx/PictureAssembler.h"
#include "rx/RxRecorder.h"
#include "tx/PttControl.h"
#include "tx/TxStreamer.h"
#include "video/VideoSource.h"

namespace q60 {

WindowHandle mainWindow = nullptr;
bool txActive = false;
bool rxActive = false;

namespace {

// Slider position p (0 to 100) to receive offset and gain, and back.
constexpr int32_t brightnessBase = 50;
constexpr int32_t brightnessStep = 2;
constexpr int32_t contrastBase = 230;
constexpr int32_t contrastStep = 3;

// Values from the settings file may lie far outside the sliders' reach: the thumb
// goes to the end of its track (the control clamps) and the value stays as it is.
int sliderPositionFor(int32_t value, int32_t base, int32_t step)
{
    int64_t position = (int64_t{value} - base) / step;
    if (position < 0)
        return 0;
    return position > 100 ? 100 : static_cast<int>(position);
}

void onInitDialog(WindowHandle window)
{
    mainWindow = window;
    repaintAtPictureRestart();
    initVideoSource(window, optionsPopup);
    describePorts(window);
    startTimer(window, rxTimerId, rxTimerPeriodMs);
    readPttSettings();
    readReceiverSettings();
    readSettings(window);
    initStation(window);
    initPictures(window);
    initTuningAid(window);
    initHelp(window);
    setSliderPosition(window, idBrightnessSlider,
                      sliderPositionFor(Brightness, brightnessBase, brightnessStep));
    setSliderPosition(window, idContrastSlider,
                      sliderPositionFor(Contrast, contrastBase, contrastStep));
}

// Commands not listed, unless the picture commands take them, do nothing: among them 1 and 2, which Enter and Escape send,
// so Escape never closes the window, and 135 and 136, which no camera here offers.
void onCommand(WindowHandle window, int id)
{
    switch (id) {
    case cmdExit:
        postClose(window);
        break;
    case cmdLoadLowPass:
    case cmdLoadHighPass:
    case cmdLoadHighPass63:
        loadCoefficientsCommand(window, id);
        break;
    case cmdPreview:
        previewCommand();
        break;
    case cmdOverlay:
        overlayCommand();
        break;
    case cmdVideoFormat:
        videoFormatCommand();
        break;
    case cmdDriver0:
    case cmdDriver1:
        selectDriver(window, id - cmdDriver0);
        break;
    case cmdTestPic:
        testPicCommand(window);
        break;
    case idTxButton:
        txCommand(window);
        break;
    case idRxButton:
        onRxButton(window);
        break;
    case cmdSoundDevices:
        soundDevicesCommand(window);
        break;
    case cmdPushToTalk:
        pttDialogCommand(window);
        break;
    case cmdReceiver:
        receiverDialogCommand(window);
        break;
    case cmdTuningAid:
        tuningAidCommand(window);
        break;
    case cmdPortNone:
    case cmdPortCom1:
    case cmdPortCom2:
        portCommand(window, id);
        break;
    default:
        pictureCommand(window, id);
        helpCommand(window, id);
        break;
    }
}

// Only a drag of the thumb sets the value; keys and clicks beside the thumb move it
// without changing anything.
void onSlider(const WindowMessage& message)
{
    if (message.scroll == ScrollCode::Other)
        return;
    if (message.id == idBrightnessSlider)
        Brightness = message.position * brightnessStep + brightnessBase;
    else if (message.id == idContrastSlider)
        Contrast = message.position * contrastStep + contrastBase;
}

// The radio is unkeyed and its port closed before the program ends, rather than
// left keyed until the process is gone.
void onDestroy()
{
    if (txActive) {
        setPtt(false);
        stopTx();
    }
    closePort();
    if (rxActive)
        stopRx();
    endAudioRecording();
    writeSettings();
    postQuitMessage(0);
}

}  // namespace

void mainWindowProc(WindowHandle window, const WindowMessage& message)
{
    switch (message.kind) {
    case MessageKind::InitDialog:
        onInitDialog(window);
        break;
    case MessageKind::Command:
        onCommand(window, message.id);
        break;
    case MessageKind::Paint:
        paintPicture(window);
        break;
    case MessageKind::HScroll:
        onSlider(message);
        break;
    case MessageKind::Destroy:
        onDestroy();
        break;
    case MessageKind::PlaybackLost:
        playbackLost();
        break;
    case MessageKind::SoundDeviceLost:
        soundDeviceLost(window, message.id);
        break;
    case MessageKind::Timer:
        rxTimerTick(window);
        tuningAidTick();
        showSoundHoles(window);
        checkPtt();
        pictureTick(window);
        showReceiverStatus();
        break;
    }
    if (message.kind != MessageKind::Destroy && message.kind != MessageKind::Paint)
        showStatusLine(window);
}

}  // namespace q60
