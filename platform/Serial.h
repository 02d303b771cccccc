// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial port used only for its two modem-control output lines, RTS and DTR.
#include <string>

namespace q60 {

struct SerialPort;
using SerialHandle = SerialPort*;

// What opening does to a line at once: the system raises both lines on open.
enum class LineAtOpen { low, high, untouched };

// Opens the port by the system's own name ("COM1", "COM2") or by a device path
// ("/dev/ttyUSB1") for reading and writing, leaving RTS and DTR as asked; null when
// it is absent, in use or not permitted.
SerialHandle openSerialPort(const char* name, LineAtOpen rts = LineAtOpen::low, LineAtOpen dtr = LineAtOpen::low);

// Hands RTS and DTR to setRts/setDtr alone: no automatic handling of either line
// and no CTS or DSR output flow control; the other line settings stay.
void disableLineControl(SerialHandle port);
void clearSerialErrors(SerialHandle port);

void setRts(SerialHandle port, bool raised);
void setDtr(SerialHandle port, bool raised);

void closeSerialPort(SerialHandle port);

// The device a port name stands for, for the user to see ("/dev/ttyUSB0"), or
// "not present".
std::string serialPortDevice(const char* name);

}  // namespace q60
