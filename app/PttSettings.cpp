// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes the [ptt] group of "station.ini" for push-to-talk. Window thread.
#include "app/PttSettings.h"

#include <cstdlib>
#include <string>

#include "app/Resources.h"
#include "app/Settings.h"
#include "app/Station.h"
#include "app/TxCommands.h"
#include "platform/StationWindow.h"

namespace q60 {
namespace {

const char* const methodNames[] = {"serial", "cat", "none"};
const char* const lineNames[] = {"rts+dtr", "rts", "dtr"};

// The index of text among names, or 0 (the default) when it is none of them.
template <size_t count>
int indexOf(const char* const (&names)[count], const std::string& text)
{
    for (size_t k = 0; k < count; ++k)
        if (text == names[k])
            return static_cast<int>(k);
    return 0;
}

int numberFrom(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value > 0 && value < 1000000000 ? static_cast<int>(value) : 0;
}

}  // namespace

PttChoice pttChoiceFrom(const StationEntries& entries)
{
    PttChoice choice;
    choice.method = static_cast<PttMethod>(indexOf(methodNames, stationEntry(entries, "ptt/method")));
    choice.device = stationEntry(entries, "ptt/device");
    choice.lines = static_cast<PttLines>(indexOf(lineNames, stationEntry(entries, "ptt/lines")));
    choice.inverted = stationEntry(entries, "ptt/inverted") == "true";
    choice.model = numberFrom(stationEntry(entries, "ptt/model"));
    choice.baud = numberFrom(stationEntry(entries, "ptt/baud"));
    return choice;
}

StationEntries pttEntriesOf(const PttChoice& choice)
{
    return {{"ptt/method", methodNames[static_cast<int>(choice.method)]},
            {"ptt/device", choice.device},
            {"ptt/lines", lineNames[static_cast<int>(choice.lines)]},
            {"ptt/inverted", choice.inverted ? "true" : "false"},
            {"ptt/model", std::to_string(choice.model)},
            {"ptt/baud", std::to_string(choice.baud)}};
}

void readPttSettings() { choosePtt(pttChoiceFrom(readStationFile(stationPath))); }

void pttDialogCommand(WindowHandle window)
{
    PttChoice choice = chosenPtt();
    if (!runPttDialog(window, choice))
        return;
    setPtt(false);
    openPort("close");
    choosePtt(choice);
    writeStationFile(stationPath, pttEntriesOf(choice));
    if (TX_Port >= 1 && TX_Port <= 2)
        portCommand(window, cmdPortNone + TX_Port);
}

}  // namespace q60
