// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake serial ports: "COM1" and "COM2" exist unless removed.
namespace q60::fake {

void removeSerialPort(const char* name);

}  // namespace q60::fake
