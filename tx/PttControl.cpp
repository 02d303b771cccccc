// SPDX-License-Identifier: GPL-3.0-or-later
// Owns push-to-talk: the "TX Port" commands choose the port, "station.ini" the way of
// keying, the TX command and the window's end key and release it. A CAT rig is
// opened only while keyed, so between transmissions it is free for other programs
// and a rig server that was restarted needs nothing. Window thread only.
#include "tx/PttControl.h"

#include <cstring>

#include "platform/Rig.h"
#include "platform/Serial.h"

namespace q60 {
namespace {

PttChoice choice;

// Running state.
SerialHandle portHandle = nullptr;
RigHandle rigHandle = nullptr;
bool portChosen = false;  // a port other than None is checked
bool keyed = false;
std::string problem;  // why the radio cannot be keyed; empty when it can

bool usesRts() { return choice.lines != PttLines::dtr; }
bool usesDtr() { return choice.lines != PttLines::rts; }

LineAtOpen restingLine(bool used)
{
    if (!used)
        return LineAtOpen::untouched;
    return choice.inverted ? LineAtOpen::high : LineAtOpen::low;
}

void driveLines(bool on)
{
    const bool level = on != choice.inverted;
    if (usesRts())
        setRts(portHandle, level);
    if (usesDtr())
        setDtr(portHandle, level);
}

bool openSerial(const char* name)
{
    const char* path = choice.device.empty() ? name : choice.device.c_str();
    portHandle = openSerialPort(path, restingLine(usesRts()), restingLine(usesDtr()));
    if (portHandle == nullptr) {
        problem = std::string("cannot open ") + path;
        return false;
    }
    disableLineControl(portHandle);
    clearSerialErrors(portHandle);
    driveLines(false);
    return true;
}

void releaseRig()
{
    if (rigHandle == nullptr)
        return;
    setRigPtt(rigHandle, false, problem);
    closeRig(rigHandle);
    rigHandle = nullptr;
}

void keyRig()
{
    if (rigHandle == nullptr)
        rigHandle = openRig(choice.model, choice.device, choice.baud, problem);
    if (rigHandle == nullptr)
        return;
    problem.clear();
    keyed = setRigPtt(rigHandle, true, problem);
    if (!keyed)
        releaseRig();
}

std::string lineNames()
{
    const char* names[] = {"RTS+DTR", "RTS", "DTR"};
    return std::string(names[static_cast<int>(choice.lines)]) + (choice.inverted ? " inverted" : "");
}

std::string keyingDetail()
{
    if (choice.method == PttMethod::cat)
        return "CAT, Hamlib model " + std::to_string(choice.model) + " on " + choice.device;
    return lineNames() + (choice.device.empty() ? std::string() : " on " + choice.device);
}

}  // namespace

void choosePtt(const PttChoice& chosen) { choice = chosen; }

const PttChoice& chosenPtt() { return choice; }

PttStatus pttStatus()
{
    if (choice.method == PttMethod::none)
        return {PttState::notKeying, "method none: nothing is keyed (VOX)"};
    if (!portChosen)
        return {PttState::notKeying, "TX Port None: nothing is keyed"};
    if (!problem.empty())
        return {PttState::cannotKey, problem};
    return {keyed ? PttState::keyed : PttState::unkeyed, keyingDetail()};
}

void setPtt(bool on)
{
    if (portHandle != nullptr) {
        driveLines(on);
        keyed = on;
    } else if (choice.method == PttMethod::cat && portChosen) {
        if (on)
            keyRig();
        else
            releaseRig();
        keyed = keyed && on;
    }
}

void checkPtt()
{
    if (rigHandle == nullptr || rigPtt(rigHandle) != rigPttLost)
        return;
    closeRig(rigHandle);
    rigHandle = nullptr;
    keyed = false;
    problem = "rig stopped answering while keyed";
}

void closePort()
{
    if (portHandle != nullptr) {
        if (keyed)
            driveLines(false);
        closeSerialPort(portHandle);
    }
    portHandle = nullptr;
    releaseRig();
    portChosen = false;
    keyed = false;
    problem.clear();
}

bool openPort(const char* name)
{
    closePort();
    if (std::strcmp(name, "close") == 0)
        return true;
    portChosen = true;
    return choice.method != PttMethod::serial || openSerial(name);
}

}  // namespace q60
