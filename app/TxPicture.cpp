// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes a picture file, read once when chosen; produces the TxFrame from it, as
// the codec's encode does. Window thread.
#include "app/TxPicture.h"

#include <cstdio>
#include <string>

#include "app/Settings.h"
#include "app/Station.h"
#include "platform/PictureWindow.h"
#include "platform/StationFile.h"
#include "tx/CallOverlay.h"
#include "tx/FrameModulator.h"
#include "video/FrameGrabber.h"

namespace q60 {
namespace {

const char* const sourceKey = "tx/source";
const char* const pictureKey = "tx/picture";
const char* const callOverlayKey = "tx/callOverlay";

bool sendingPicture = false;
bool callOverlay = false;
std::string picturePath;

void sendFrame(const PictureFileFrame& frame)
{
    if (frame.isTxFrame)
        setTxFrame(frame.bytes.data(), frame.bytes.size());
    else
        reduceFrame(frame.bytes.data());
}

void useSource(WindowHandle window, bool picture)
{
    sendingPicture = picture;
    checkMenuItem(window, cmdSendPictureFile, picture);
    checkMenuItem(window, cmdSendCamera, !picture);
}

// A file that cannot be read leaves the source as it was.
bool sendPictureFile(WindowHandle window, const std::string& path)
{
    PictureFileFrame frame;
    std::string reason;
    if (!readPictureFile(path, frame, reason)) {
        showMessage(window, ("Cannot send \"" + path + "\": " + reason).c_str());
        return false;
    }
    sendFrame(frame);
    picturePath = path;
    useSource(window, true);
    return true;
}

void choosePictureFile(WindowHandle window, const std::string& path)
{
    if (sendPictureFile(window, path))
        writeStationFile(stationPath, {{sourceKey, "picture"}, {pictureKey, path}});
}

void showCallOverlay(WindowHandle window, bool on)
{
    callOverlay = on;
    checkMenuItem(window, cmdCallOverlay, on);
    setCallOverlay(on ? Call : "");
}

// Call is written to "settings.txt" at the end, with the other settings.
void editCallSign(WindowHandle window)
{
    std::string call = Call;
    if (!askCallSign(window, call))
        return;
    if (!isValidCallSign(call)) {
        showMessage(window, ("\"" + call + "\" is not a call sign: 1 to 11 characters, no spaces.").c_str());
        return;
    }
    static_assert(callOverlayMaxCharacters == callCapacity);
    std::snprintf(Call, sizeof Call, "%s", call.c_str());
    showCallOverlay(window, callOverlay);
}

}  // namespace

std::vector<MenuItemText> txPictureMenuItems()
{
    return {{cmdSendPictureFile, "Send Picture &File..."},
            {cmdSendCamera, "Send Ca&mera"},
            {cmdCallSign, "Call Si&gn..."},
            {cmdCallOverlay, "Call Sign on Pict&ure"}};
}

void initTxPicture(WindowHandle window)
{
    const StationEntries entries = readStationFile(stationPath);
    const auto picture = entries.find(pictureKey);
    const auto source = entries.find(sourceKey);
    useSource(window, false);
    acceptFileDrops(window, cmdPictureDropped);
    const auto overlay = entries.find(callOverlayKey);
    showCallOverlay(window, overlay != entries.end() && overlay->second == "true");
    if (source != entries.end() && source->second == "picture" && picture != entries.end())
        sendPictureFile(window, picture->second);
}

void txPictureCommand(WindowHandle window, int id)
{
    std::string path = picturePath;
    if (id == cmdSendPictureFile) {
        if (askPictureFile(window, path))
            choosePictureFile(window, path);
    } else if (id == cmdPictureDropped) {
        path = takeDroppedFile();
        if (!path.empty())
            choosePictureFile(window, path);
    } else if (id == cmdSendCamera) {
        useSource(window, false);
        writeStationFile(stationPath, {{sourceKey, "camera"}});
    } else if (id == cmdCallSign) {
        editCallSign(window);
    } else if (id == cmdCallOverlay) {
        showCallOverlay(window, !callOverlay);
        writeStationFile(stationPath, {{callOverlayKey, callOverlay ? "true" : "false"}});
    }
}

bool pictureFileSent() { return sendingPicture; }

}  // namespace q60
