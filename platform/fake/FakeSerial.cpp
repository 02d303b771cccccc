// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Serial.h: ports by name, every call logged with
// the port it concerns.
#include "platform/fake/FakeSerial.h"

#include <set>
#include <string>

#include "platform/Serial.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {

struct SerialPort {
    std::string name;
};

}  // namespace q60

namespace q60::fake {
namespace {

std::set<std::string> missingPorts;

bool exists(const std::string& name)
{
    return (name == "COM1" || name == "COM2" || name.starts_with("/dev/")) && missingPorts.count(name) == 0;
}

const char* atOpenText(LineAtOpen line)
{
    return line == LineAtOpen::low ? "0" : line == LineAtOpen::high ? "1" : "-";
}

}  // namespace

void removeSerialPort(const char* name) { missingPorts.insert(name); }

}  // namespace q60::fake

namespace q60 {

using fake::log;

SerialHandle openSerialPort(const char* name, LineAtOpen rts, LineAtOpen dtr)
{
    if (!fake::exists(name)) {
        log(std::string("openSerialPort ") + name + " failed");
        return nullptr;
    }
    const bool asBefore = rts == LineAtOpen::low && dtr == LineAtOpen::low;
    log(std::string("openSerialPort ") + name +
        (asBefore ? "" : std::string(" rts ") + fake::atOpenText(rts) + " dtr " + fake::atOpenText(dtr)));
    return new SerialPort{name};
}

void disableLineControl(SerialHandle port) { log("disableLineControl " + port->name); }
void clearSerialErrors(SerialHandle port) { log("clearSerialErrors " + port->name); }
void setRts(SerialHandle port, bool raised) { log("setRts " + port->name + " " + std::to_string(raised)); }
void setDtr(SerialHandle port, bool raised) { log("setDtr " + port->name + " " + std::to_string(raised)); }

void closeSerialPort(SerialHandle port)
{
    log("closeSerialPort " + port->name);
    delete port;
}

std::string serialPortDevice(const char* name)
{
    return fake::exists(name) ? std::string("/dev/fake") + name : "not present";
}

}  // namespace q60
