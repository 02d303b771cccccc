// SPDX-License-Identifier: GPL-3.0-or-later
// The push-to-talk port on QSerialPort. "COM1" and "COM2" stand for the first and
// second serial ports of the system, sorted by device path, so that a lone USB
// adapter is "COM1".
#include "platform/qt/SerialLines.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <map>
#include <string>

#include "platform/Serial.h"

namespace q60 {

struct SerialPort {
    QSerialPort port;
};

namespace {

std::map<std::string, QString> pathOverrides;

int portIndex(const std::string& name)
{
    if (name == "COM1")
        return 0;
    if (name == "COM2")
        return 1;
    return -1;
}

// The device path a name stands for; empty when there is none.
QString portPath(const char* name)
{
    if (name[0] == '/')
        return QString::fromUtf8(name);
    if (auto found = pathOverrides.find(name); found != pathOverrides.end())
        return found->second;
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    std::sort(paths.begin(), paths.end());
    const int index = portIndex(name);
    return index >= 0 && index < paths.size() ? paths[index] : QString();
}

void driveAtOpen(QSerialPort& port, LineAtOpen rts, LineAtOpen dtr)
{
    if (rts != LineAtOpen::untouched)
        port.setRequestToSend(rts == LineAtOpen::high);
    if (dtr != LineAtOpen::untouched)
        port.setDataTerminalReady(dtr == LineAtOpen::high);
}

}  // namespace

void setSerialPortPath(const char* name, const QString& path) { pathOverrides[name] = path; }

SerialHandle openSerialPort(const char* name, LineAtOpen rts, LineAtOpen dtr)
{
    const QString path = portPath(name);
    if (path.isEmpty())
        return nullptr;
    auto* serial = new SerialPort;
    serial->port.setPortName(path);
    if (!serial->port.open(QIODevice::WriteOnly)) {
        delete serial;
        return nullptr;
    }
    // The system raises both lines on open: set them before anything else happens.
    driveAtOpen(serial->port, rts, dtr);
    return serial;
}

// RTS cannot be set by hand under hardware flow control; software flow control
// leaves the lines alone and stays.
void disableLineControl(SerialHandle port)
{
    if (port->port.flowControl() == QSerialPort::HardwareControl)
        port->port.setFlowControl(QSerialPort::NoFlowControl);
}

void clearSerialErrors(SerialHandle port) { port->port.clearError(); }

void setRts(SerialHandle port, bool raised) { port->port.setRequestToSend(raised); }

void setDtr(SerialHandle port, bool raised) { port->port.setDataTerminalReady(raised); }

void closeSerialPort(SerialHandle port)
{
    port->port.close();
    delete port;
}

std::string serialPortDevice(const char* name)
{
    const QString path = portPath(name);
    return path.isEmpty() ? std::string("not present") : path.toStdString();
}

}  // namespace q60
