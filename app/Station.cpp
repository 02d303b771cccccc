// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes the [audio] group of "station.ini" and runs the Station menu.
// Window thread.
#include "app/Station.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/Pictures.h"
#include "app/PttSettings.h"
#include "app/ReceiverSettings.h"
#include "app/RxCommands.h"
#include "app/TuningAid.h"
#include "app/TxCommands.h"
#include "platform/SoundChoice.h"
#include "platform/StationFile.h"
#include "platform/StationWindow.h"
#include "rx/RxRecorder.h"
#include "tx/TxStreamer.h"

namespace q60 {
namespace {

const char* const outputKey = "audio/output";
const char* const inputKey = "audio/input";
const char* const txLevelKey = "audio/txLevelDb";

// Anything that is not a number means the default; numbers are held to the range.
double txLevelFrom(const std::string& text)
{
    char* end = nullptr;
    const double level = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(level))
        return 0.0;
    return std::fmin(0.0, std::fmax(lowestTxLevelDb, level));
}

}  // namespace

// Written the same whatever the locale, as the file is read back under any.
std::string stationNumberText(double value)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::string stationEntry(const StationEntries& entries, const char* key)
{
    const auto found = entries.find(key);
    return found == entries.end() ? std::string() : found->second;
}

void initStation(WindowHandle window)
{
    const StationEntries entries = readStationFile(stationPath);
    chooseSoundDevices(
        SoundChoice{stationEntry(entries, outputKey), stationEntry(entries, inputKey),
                    txLevelFrom(stationEntry(entries, txLevelKey))});
    std::vector<MenuItemText> items{{cmdSoundDevices, "Sound &Devices..."}, {cmdPushToTalk, "&Push-to-Talk..."},
                                    {cmdReceiver, "R&eceiver..."}, {cmdTuningAid, "&Tuning Aid"}};
    const std::vector<MenuItemText> pictureItems = pictureMenuItems();
    items.insert(items.end(), pictureItems.begin(), pictureItems.end());
    appendMenu(window, "&Station", items);
}

void soundDevicesCommand(WindowHandle window)
{
    SoundChoice choice = chosenSoundDevices();
    if (!runSoundDevicesDialog(window, choice))
        return;
    choice.txLevelDb = txLevelFrom(stationNumberText(choice.txLevelDb));
    chooseSoundDevices(choice);
    writeStationFile(stationPath,
                     {{outputKey, choice.output}, {inputKey, choice.input}, {txLevelKey, stationNumberText(choice.txLevelDb)}});
}

void soundDeviceLost(WindowHandle window, int side)
{
    if (side == soundOutputLost && txActive) {
        txCommand(window);
        showMessage(window, "directsound init failed");
    } else if (side == soundInputLost && rxActive) {
        onRxButton(window);
        showMessage(window, "directsound start record failed");
    }
}

}  // namespace q60
