// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Push-to-talk: keys the radio through RTS and DTR of the chosen serial port.
namespace q60 {

// The ports that the settings' TX_Port numbers stand for: 0 none, 1 "COM1", 2 "COM2".
inline constexpr const char* portNames[] = {nullptr, "COM1", "COM2"};

// Both lines up (on) or down (off), RTS first; nothing without an open port.
void setPtt(bool on);

// Closes the open port, if any.
void closePort();

// Opens the named port with both lines down, closing the previous one first;
// "close" only closes. True when a port is open afterwards, and for "close".
bool openPort(const char* name);

}  // namespace q60
