// Owns the push-to-talk port: the "TX Port" commands choose it, the TX button and
// the window's end key and release it. Window thread only.
#include "tx/PttControl.h"

#include <cstring>
#include <string>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "platform/Serial.h"

namespace q60 {
namespace {

SerialHandle portHandle = nullptr;

constexpr const char* portNames[] = {nullptr, "COM1", "COM2"};

void markPort(WindowHandle window, int id)
{
    checkMenuItem(window, cmdPortCom1, id == cmdPortCom1);
    checkMenuItem(window, cmdPortCom2, id == cmdPortCom2);
    checkMenuItem(window, cmdPortNone, id == cmdPortNone);
}

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

}  // namespace q60
