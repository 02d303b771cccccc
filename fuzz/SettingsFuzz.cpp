// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reader of "settings.txt" on the fake platform. Any file is read without a
// fault; what was read is written, and the written file reads back to the same values
// and the same commands and is written again byte for byte.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Resources.h"
#include "app/Settings.h"
#include "fuzz/FuzzSupport.h"
#include "platform/fake/FakePlatform.h"
#include "rx/PictureAssembler.h"
#include "tests/support/DefaultSettings.h"

namespace q60 {
namespace {

struct SettingsRead {
    int32_t port;
    int32_t driver;
    int32_t contrast;
    int32_t brightness;
    float synclevel;
    std::string call;
    std::vector<std::string> calls;  // what the reader asked of the window

    bool operator==(const SettingsRead&) const = default;
};

SettingsRead readFromDefaults()
{
    test::resetSettingsToDefaults();
    fake::callLog().clear();
    readSettings(fake::window());
    return {TX_Port, VideoDriver, Contrast, Brightness, Synclevel, Call, fake::callLog()};
}

void checkRead(const SettingsRead& read)
{
    fuzz::check(std::memchr(Call, '\0', sizeof Call) != nullptr, "Call is not terminated within its array");
    fuzz::check(std::isfinite(read.synclevel) && std::trunc(read.synclevel) == read.synclevel,
                "Synclevel is not a whole number");
    // Only a port 0..2 and a driver 0..1 are applied, port first, nothing else.
    std::vector<std::string> expected;
    if (read.port >= 0 && read.port <= 2)
        expected.push_back("sendCommand " + std::to_string(cmdPortNone + read.port));
    if (read.driver == 0 || read.driver == 1)
        expected.push_back("sendCommand " + std::to_string(cmdDriver0 + read.driver));
    fuzz::check(read.calls == expected, "the commands sent are not the port and driver as read");
}

}  // namespace
}  // namespace q60

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    q60::fuzz::makeScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace q60;
    const fuzz::InScratchDirectory here;  // the reader and writer work in the working directory
    fuzz::writeWholeFile("settings.txt", data, size);
    const SettingsRead first = readFromDefaults();
    checkRead(first);

    writeSettings();
    const std::string written = fuzz::readWholeFile("settings.txt");
    fuzz::check(!written.empty(), "writeSettings left no file");
    const SettingsRead second = readFromDefaults();
    fuzz::check(second == first, "the written file reads back to other values");
    writeSettings();
    fuzz::check(fuzz::readWholeFile("settings.txt") == written, "writing again gives another file");
    return 0;
}
