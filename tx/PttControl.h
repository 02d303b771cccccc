#pragma once
// Push-to-talk: keys the radio through RTS and DTR of the chosen serial port.
#include "platform/Window.h"

namespace q60 {

// Both lines up (on) or down (off), RTS first; nothing without an open port.
void setPtt(bool on);

// Closes the open port, if any.
void closePort();

// Opens the named port with both lines down, closing the previous one first;
// "close" only closes. True when a port is open afterwards, and for "close".
bool openPort(const char* name);

// The "TX Port" commands: cmdPortNone, cmdPortCom1 and cmdPortCom2.
void portCommand(WindowHandle window, int id);

// Shows on the "COM 1" and "COM 2" items which device each stands for.
void describePorts(WindowHandle window);

}  // namespace q60
