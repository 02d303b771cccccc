// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test access to the serial layer: a port name can be pointed at any device path
// (a pseudo-terminal), so that no test ever opens a real serial port.
#include <QString>

namespace q60 {

void setSerialPortPath(const char* name, const QString& path);

}  // namespace q60
