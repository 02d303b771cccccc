// SPDX-License-Identifier: GPL-3.0-or-later
// The six settings and "settings.txt": read once at start (applying the port and
// driver through the window's commands), written once when the window is destroyed.
#include "app/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "app/Resources.h"
#include "rx/PictureAssembler.h"
#include "rx/RegularFile.h"

namespace q60 {

int32_t TX_Port = 0;
int32_t VideoDriver = 0;
char Call[callCapacity + 1] = "NOCALL";

namespace {

const char* const settingsPath = "settings.txt";

// A number and its key word into value; a word that is not a number fails and
// stays in the input, so every later number fails on it too and the call sign
// receives it. Numbers beyond 32 bits are held at the nearest end of the range.
bool readNumber(FILE* file, int32_t& value)
{
    long long number = 0;
    if (std::fscanf(file, "%lld %*s", &number) < 1)
        return false;
    value = static_cast<int32_t>(std::clamp<long long>(number, INT32_MIN, INT32_MAX));
    return true;
}

void applyPort(WindowHandle window)
{
    if (TX_Port >= 0 && TX_Port <= 2)
        sendCommand(window, cmdPortNone + TX_Port);
}

void applyDriver(WindowHandle window)
{
    if (VideoDriver == 0 || VideoDriver == 1)
        sendCommand(window, cmdDriver0 + VideoDriver);
}

// Synclevel is only ever a whole number read from the file, but as a float it can
// round up to 2^31, which does not convert back to an int: the ends of the range stand in.
int syncLevelForFile()
{
    if (!(Synclevel < 2147483648.0F))
        return INT32_MAX;
    if (!(Synclevel >= -2147483648.0F))
        return INT32_MIN;
    return static_cast<int>(Synclevel);
}

bool writeLines(FILE* file)
{
    std::fprintf(file, "%d TX_Port\n", TX_Port);
    std::fprintf(file, "%d VideoDriver\n", VideoDriver);
    std::fprintf(file, "%d Contrast\n", Contrast);
    std::fprintf(file, "%d Brightness\n", Brightness);
    std::fprintf(file, "%d Synclevel\n", syncLevelForFile());
    std::fprintf(file, "%s Call\n", Call);
    return std::fflush(file) == 0 && std::ferror(file) == 0 && fsync(fileno(file)) == 0;
}

}  // namespace

void readSettings(WindowHandle window)
{
    FILE* file = openRegularFile(settingsPath);
    if (file == nullptr)
        return;
    int32_t syncLevel = 0;
    bool haveSyncLevel = readNumber(file, TX_Port) && readNumber(file, VideoDriver) &&
                         readNumber(file, Contrast) && readNumber(file, Brightness) &&
                         readNumber(file, syncLevel);
    // A longer call sign is cut to the characters Call has room for. A word that starts
    // with a NUL byte (a damaged file) would make an empty call sign, which the file
    // cannot hold (it would read back as "Call"): the call keeps its value, as with no word.
    static_assert(callCapacity == 11, "the width in the format below");
    char word[callCapacity + 1] = {};
    if (std::fscanf(file, "%11s", word) == 1 && word[0] != '\0')
        std::memcpy(Call, word, sizeof Call);
    std::fclose(file);
    if (haveSyncLevel)
        Synclevel = static_cast<float>(syncLevel);
    applyPort(window);
    applyDriver(window);
}

// The new file is complete on disk before it replaces the old one, so a crash
// or a full disk never leaves a truncated file; when it cannot be written at all
// (a read-only directory), this run's changes are lost without a word.
void writeSettings()
{
    std::string temporaryPath = std::string(settingsPath) + "." + std::to_string(getpid()) + ".tmp";
    int descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return;
    FILE* file = fdopen(descriptor, "w");
    if (file == nullptr) {
        close(descriptor);
        unlink(temporaryPath.c_str());
        return;
    }
    bool written = writeLines(file);
    if (std::fclose(file) != 0 || !written || std::rename(temporaryPath.c_str(), settingsPath) != 0)
        unlink(temporaryPath.c_str());
}

}  // namespace q60
