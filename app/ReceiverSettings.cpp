// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes the receiver's options in "station.ini", one row per option, and
// hands them to the receive chain and the transmit clock. Window thread.
#include "app/ReceiverSettings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "app/MainDialog.h"
#include "app/Station.h"
#include "platform/PictureWindow.h"
#include "platform/StationWindow.h"
#include "rx/ClockCorrection.h"
#include "rx/FrequencyControl.h"
#include "rx/FrameIntegrator.h"
#include "rx/PictureAssembler.h"

namespace q60 {
namespace {

ReceiverChoice chosen;

// A number within +-maxClockPpm, the whole text read whatever the locale, a "+" as
// the window shows it allowed; anything else is 0 (off).
double ppmFrom(const std::string& text)
{
    double value = 0.0;
    const bool plus = text.size() > 1 && text[0] == '+' && text[1] != '-';
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data() + (plus ? 1 : 0), end, value);
    const bool whole = read.ec == std::errc() && read.ptr == end;
    return whole && std::isfinite(value) && std::fabs(value) <= maxClockPpm ? value : 0.0;
}

// A whole number of frames, 1 to maxIntegratedFrames; anything else is 1 (off).
int framesFrom(const std::string& text)
{
    int value = 1;
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, value);
    const bool whole = read.ec == std::errc() && read.ptr == end;
    return whole && value >= 1 && value <= maxIntegratedFrames ? value : 1;
}

bool onFrom(const std::string& text) { return text == "true"; }
std::string onText(bool on) { return on ? "true" : "false"; }

void readRxPpm(ReceiverChoice& choice, const std::string& text)
{
    choice.rxPpm = ppmFrom(text);
    choice.clock = text == "auto" ? ClockMode::automatic : choice.rxPpm != 0.0 ? ClockMode::fixed : ClockMode::off;
}

std::string rxPpmText(const ReceiverChoice& choice)
{
    if (choice.clock == ClockMode::automatic)
        return "auto";
    return stationNumberText(choice.clock == ClockMode::fixed ? choice.rxPpm : 0.0);
}

// One stored option: its "group/key", how its text sets the choice, and its text.
struct OptionRow {
    const char* key;
    void (*read)(ReceiverChoice&, const std::string&);
    std::string (*text)(const ReceiverChoice&);
};

const OptionRow optionRows[] = {
    {"rx/ppm", readRxPpm, rxPpmText},
    {"rx/fastLock", [](ReceiverChoice& c, const std::string& t) { c.fastLock = onFrom(t); },
     [](const ReceiverChoice& c) { return onText(c.fastLock); }},
    {"rx/integrate", [](ReceiverChoice& c, const std::string& t) { c.integrate = framesFrom(t); },
     [](const ReceiverChoice& c) { return std::to_string(c.integrate); }},
    {"tx/ppm", [](ReceiverChoice& c, const std::string& t) { c.txPpm = ppmFrom(t); },
     [](const ReceiverChoice& c) { return stationNumberText(c.txPpm); }},
    {"rx/afc", [](ReceiverChoice& c, const std::string& t) { c.frequencyControl = onFrom(t); },
     [](const ReceiverChoice& c) { return onText(c.frequencyControl); }},
    {"rx/sturdySync", [](ReceiverChoice& c, const std::string& t) { c.sturdySync = onFrom(t); },
     [](const ReceiverChoice& c) { return onText(c.sturdySync); }},
};

// One measured figure to a tenth; adding +0.0 turns a rounded -0.0 into +0.0, so
// nothing measured shows as "-0.0".
std::string measuredText(const char* format, double value)
{
    char text[40];
    std::snprintf(text, sizeof text, format, std::round(value * 10.0) / 10.0 + 0.0);
    return text;
}

}  // namespace

ReceiverChoice receiverChoiceFrom(const StationEntries& entries)
{
    ReceiverChoice choice;
    for (const OptionRow& row : optionRows)
        row.read(choice, stationEntry(entries, row.key));
    return choice;
}

StationEntries receiverEntriesOf(const ReceiverChoice& choice)
{
    StationEntries entries;
    for (const OptionRow& row : optionRows)
        entries[row.key] = row.text(choice);
    return entries;
}

void readReceiverSettings() { chosen = receiverChoiceFrom(readStationFile(stationPath)); }

ReceiverChoice chosenReceiver() { return chosen; }

void applyReceiverChoice()
{
    fastLock = chosen.fastLock;
    setClockCorrection(chosen.clock == ClockMode::fixed ? chosen.rxPpm : 0.0);
    setClockTracking(chosen.clock == ClockMode::automatic);
    setFrequencyControl(chosen.frequencyControl);
    setSturdySync(chosen.sturdySync);
    setFrameIntegration(chosen.integrate);
}

void receiverDialogCommand(WindowHandle window)
{
    ReceiverChoice choice = chosen;
    if (!runReceiverDialog(window, choice))
        return;
    // Used as it is stored, so a fixed 0 is off and an out-of-range number too.
    chosen = receiverChoiceFrom(receiverEntriesOf(choice));
    writeStationFile(stationPath, receiverEntriesOf(chosen));
    if (rxActive)
        applyReceiverChoice();
}

std::string receiverStatusText()
{
    if (!rxActive)
        return {};
    std::string text;
    if (chosen.clock == ClockMode::automatic)
        text = measuredText("clock %+.1f ppm", clockCorrectionPpm());
    if (chosen.frequencyControl)
        text += (text.empty() ? "" : ", ") + measuredText("offset %+.1f Hz", frequencyOffsetHz());
    return text;
}

void showReceiverStatus() { setPictureWindowStatus(receiverStatusText()); }

}  // namespace q60
