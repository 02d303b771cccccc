// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes a picture file, read once when chosen; produces the TxFrame from it, as
// the codec's encode does. Window thread.
#include "app/TxPicture.h"

#include <string>

#include "app/Station.h"
#include "platform/PictureWindow.h"
#include "platform/StationFile.h"
#include "tx/FrameModulator.h"
#include "video/FrameGrabber.h"

namespace q60 {
namespace {

const char* const sourceKey = "tx/source";
const char* const pictureKey = "tx/picture";

bool sendingPicture = false;
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

}  // namespace

std::vector<MenuItemText> txPictureMenuItems()
{
    return {{cmdSendPictureFile, "Send Picture &File..."}, {cmdSendCamera, "Send Ca&mera"}};
}

void initTxPicture(WindowHandle window)
{
    const StationEntries entries = readStationFile(stationPath);
    const auto picture = entries.find(pictureKey);
    const auto source = entries.find(sourceKey);
    useSource(window, false);
    if (source != entries.end() && source->second == "picture" && picture != entries.end())
        sendPictureFile(window, picture->second);
}

void txPictureCommand(WindowHandle window, int id)
{
    std::string path = picturePath;
    if (id == cmdSendPictureFile && askPictureFile(window, path) && sendPictureFile(window, path)) {
        writeStationFile(stationPath, {{sourceKey, "picture"}, {pictureKey, path}});
    } else if (id == cmdSendCamera) {
        useSource(window, false);
        writeStationFile(stationPath, {{sourceKey, "camera"}});
    }
}

bool pictureFileSent() { return sendingPicture; }

}  // namespace q60
