// SPDX-License-Identifier: GPL-3.0-or-later
// Runs Station > Tuning Aid and its [tuning] group of "station.ini"; at each tick,
// turns the receiver's look at what it heard into the tuning window's picture.
// Window thread.
#include "app/TuningAid.h"

#include "app/MainDialog.h"
#include "app/Station.h"
#include "platform/StationFile.h"
#include "platform/TuningWindow.h"

namespace q60 {
namespace {

const char* const windowKey = "tuning/window";
// The sync, black and white tones, where a well-tuned signal has its edges and peak.
constexpr int syncHz = 1200;
constexpr int blackHz = 1500;
constexpr int whiteHz = 2300;
// The window's bottom edge: the weakest signal worth tuning stands well above it, and
// an empty input (the sound card's own hiss) near it.
constexpr float shownFloorDb = -50.0f;

bool windowShown = false;

void setWindowShown(WindowHandle window, bool shown)
{
    windowShown = shown;
    enableTuningSpectrum(shown);
    checkMenuItem(window, cmdTuningAid, shown);
    showTuningWindow(window, shown, cmdTuningAid);
}

}  // namespace

void initTuningAid(WindowHandle window)
{
    if (stationEntry(readStationFile(stationPath), windowKey) == "true")
        setWindowShown(window, true);
}

void tuningAidCommand(WindowHandle window)
{
    setWindowShown(window, !windowShown);
    writeStationFile(stationPath, {{windowKey, windowShown ? "true" : "false"}});
}

void tuningAidTick()
{
    if (!windowShown)
        return;
    const TuningLook look = takeTuningLook();
    TuningPicture picture;
    picture.levelsDb.assign(look.dbFullScale.begin(), look.dbFullScale.end());
    picture.heldDb.assign(look.heldDbFullScale.begin(), look.heldDbFullScale.end());
    picture.lowHz = tuningLowHz;
    picture.stepHz = tuningBinHz;
    picture.floorDb = shownFloorDb;
    picture.marksHz = {syncHz, blackHz, whiteHz};
    picture.levelText = rxActive ? tuningLevelText(look) : "RX off";
    picture.warn = rxActive && look.samples != 0 && (look.clipping || look.tooLow);
    setTuningPicture(picture);
}

std::string tuningLevelText(const TuningLook& look)
{
    if (look.samples == 0)
        return "no input";
    const std::string level = "input " + std::to_string(look.levelPercent) + " %";
    if (look.clipping)
        return level + " CLIPPING";
    return look.tooLow ? level + " too low" : level;
}

}  // namespace q60
