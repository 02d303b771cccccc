// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the push-to-talk port: the "TX Port" commands choose it, the TX command and
// the window's end key and release it. Window thread only.
#include "tx/PttControl.h"

#include <cstring>

#include "platform/Serial.h"

namespace q60 {
namespace {

SerialHandle portHandle = nullptr;

}  // namespace

void setPtt(bool on)
{
    if (portHandle == nullptr)
        return;
    setRts(portHandle, on);
    setDtr(portHandle, on);
}

void closePort()
{
    if (portHandle != nullptr)
        closeSerialPort(portHandle);
    portHandle = nullptr;
}

bool openPort(const char* name)
{
    closePort();
    if (std::strcmp(name, "close") == 0) {
        closePort();
        return true;
    }
    portHandle = openSerialPort(name);
    if (portHandle == nullptr)
        return false;
    disableLineControl(portHandle);
    clearSerialErrors(portHandle);
    setPtt(false);
    return true;
}

}  // namespace q60
