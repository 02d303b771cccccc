// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the RxPicture at each picture restart and the TxFrame at each tick;
// keeps the last complete picture and feeds the picture window and the pictures
// folder. Window thread only.
#include "app/Pictures.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/AudioRecording.h"
#include "app/Station.h"
#include "app/TxPicture.h"
#include "platform/PictureWindow.h"
#include "platform/StationFile.h"
#include "rx/FrameIntegrator.h"
#include "rx/PictureAssembler.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using Clock = std::chrono::steady_clock;

const char* const windowKey = "pictures/window";
const char* const smoothKey = "pictures/smooth";
const char* const folderKey = "pictures/folder";
const char* const recordKey = "pictures/record";
const char* const folderName = "Quorrel 60line";  // inside the desktop's pictures folder
constexpr int paintedBytes = rxPictureWidth * paintedPictureHeight;

// Settings.
bool windowShown = false;
bool smoothScaling = true;
bool recording = false;
std::string picturesFolder;

// The last complete picture (or the mean of the last ones, with frame integration on),
// as painted, and when it was completed.
std::array<uint8_t, paintedBytes> completePicture{};
bool havePicture = false;
Clock::time_point completedAt;
std::time_t completedUtc = 0;

// The picture recording saved last, so an unchanged picture is not saved again.
std::array<uint8_t, paintedBytes> recordedPicture{};
bool haveRecorded = false;
std::time_t recordedUtc = 0;
int sameSecond = 1;
std::string recordingFailure;

// Scratch for the live picture and the picture being sent, sized once.
std::array<uint8_t, paintedBytes> livePicture{};
std::array<uint8_t, txFrameBytes> sentPicture{};

std::string utcText(std::time_t time, const char* format)
{
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[40];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

bool isOn(const StationEntries& entries, const char* key, bool byDefault)
{
    const auto found = entries.find(key);
    return found == entries.end() ? byDefault : found->second == "true";
}

void remember(const char* key, bool on)
{
    writeStationFile(stationPath, {{key, on ? "true" : "false"}});
}

// Before the first frame sync there is no complete picture: the RxPicture as it is.
GreyPicture pictureToKeep()
{
    if (havePicture)
        return GreyPicture{completePicture.data(), rxPictureWidth, paintedPictureHeight};
    paintRxPictureGrey(livePicture.data(), 2);
    return GreyPicture{livePicture.data(), rxPictureWidth, paintedPictureHeight};
}

bool isHeld() { return havePicture && Clock::now() - completedAt > std::chrono::milliseconds(pictureHoldMs); }

void showReceived()
{
    if (!windowShown)
        return;
    const std::string mark = isHeld() ? "held, " + utcText(completedUtc, "%Y-%m-%d %H:%M:%S UTC") : "";
    setPictureWindowPicture(pictureToKeep(), mark);
}

// What is sent, test ramp and call sign included; bottom-up as a camera delivers
// it, so its last row is shown on top.
void showSent()
{
    for (int j = 0; j < txFrameLines; ++j)
        for (int i = 0; i < pixelsPerLine; ++i)
            sentPicture[pixelsPerLine * (txFrameLines - 1 - j) + i] = sentGrey(j, i);
    setPictureWindowTxPicture(GreyPicture{sentPicture.data(), pixelsPerLine, txFrameLines});
}

void setWindowShown(WindowHandle window, bool shown)
{
    windowShown = shown;
    checkMenuItem(window, cmdPictureWindow, shown);
    showPictureWindow(window, shown, PictureWindowCommands{cmdPictureWindow, cmdPictureDropped});
    showReceived();
    if (shown)
        showSent();
}

std::string failureText(const std::string& reason)
{
    return "Cannot save the picture in \"" + picturesFolder + "\": " + reason;
}

// A second picture completed within the same second gets "-2" (and so on) after
// the time, rather than replacing the first.
bool savePictureFile(std::string& reason, int sameSecond)
{
    const std::time_t taken = havePicture ? completedUtc : std::time(nullptr);
    char suffix[16] = "";
    if (sameSecond > 1)
        std::snprintf(suffix, sizeof suffix, "-%d", sameSecond);
    return savePicturePng(picturesFolder, utcFileStem(taken) + suffix + ".png", pictureToKeep(),
                          reason);
}

void savePicture(WindowHandle window)
{
    std::string reason;
    if (!savePictureFile(reason, 1))
        showMessage(window, failureText(reason).c_str());
}

void setRecording(WindowHandle window, bool on)
{
    recording = on;
    checkMenuItem(window, cmdRecordPictures, on);
}

// Called inside the receive chain: a failure is only noted here, and the tick after
// the drain stops the recording and tells the user.
void recordCompletePicture()
{
    if (!recording || (haveRecorded && recordedPicture == completePicture))
        return;
    sameSecond = haveRecorded && completedUtc == recordedUtc ? sameSecond + 1 : 1;
    recordedPicture = completePicture;
    recordedUtc = completedUtc;
    haveRecorded = true;
    std::string reason;
    if (!savePictureFile(reason, sameSecond))
        recordingFailure = failureText(reason);
}

void stopFailedRecording(WindowHandle window)
{
    if (recordingFailure.empty())
        return;
    const std::string text = recordingFailure;
    recordingFailure.clear();
    setRecording(window, false);
    remember(recordKey, false);
    showMessage(window, text.c_str());
}

}  // namespace

std::vector<MenuItemText> pictureMenuItems()
{
    std::vector<MenuItemText> items{{cmdPictureWindow, "&Picture Window"},
                                    {cmdSmoothScaling, "S&mooth Scaling"},
                                    {cmdSavePicture, "&Save Picture\tCtrl+S"},
                                    {cmdCopyPicture, "&Copy Picture\tCtrl+C"},
                                    {cmdRecordPictures, "&Record Pictures"},
                                    audioRecordingMenuItem()};
    const std::vector<MenuItemText> sending = txPictureMenuItems();
    items.insert(items.end(), sending.begin(), sending.end());
    return items;
}

void initPictures(WindowHandle window)
{
    const StationEntries entries = readStationFile(stationPath);
    const auto folder = entries.find(folderKey);
    picturesFolder = folder != entries.end() && !folder->second.empty()
                         ? folder->second
                         : desktopPicturesFolder() + "/" + folderName;
    smoothScaling = isOn(entries, smoothKey, true);
    checkMenuItem(window, cmdSmoothScaling, smoothScaling);
    setPictureWindowSmooth(smoothScaling);
    setRecording(window, isOn(entries, recordKey, false));
    if (isOn(entries, windowKey, false))
        setWindowShown(window, true);
    initTxPicture(window);
    initAudioRecording(window, picturesFolder);
}

void pictureCommand(WindowHandle window, int id)
{
    if (id == cmdPictureWindow) {
        setWindowShown(window, !windowShown);
        remember(windowKey, windowShown);
    } else if (id == cmdSmoothScaling) {
        smoothScaling = !smoothScaling;
        checkMenuItem(window, cmdSmoothScaling, smoothScaling);
        setPictureWindowSmooth(smoothScaling);
        remember(smoothKey, smoothScaling);
    } else if (id == cmdSavePicture) {
        savePicture(window);
    } else if (id == cmdCopyPicture) {
        copyPictureToClipboard(pictureToKeep());
    } else if (id == cmdRecordPictures) {
        setRecording(window, !recording);
        remember(recordKey, recording);
    } else {
        txPictureCommand(window, id);
        audioRecordingCommand(window, id);
    }
}

void pictureRestarted()
{
    if (integrateRxPicture()) {
        paintIntegratedGrey(completePicture.data(), 2);
        havePicture = true;
        completedAt = Clock::now();
        completedUtc = std::time(nullptr);
        recordCompletePicture();
    }
    showReceived();
}

std::string keptPicturesFolder() { return picturesFolder; }

std::string utcFileStem(std::time_t time) { return utcText(time, "%Y%m%d-%H%M%SZ"); }

void pictureTick(WindowHandle window)
{
    stopFailedRecording(window);
    audioRecordingTick(window);
    showReceived();
    if (windowShown)
        showSent();
}

}  // namespace q60
