// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/PictureWindow.h: what the window would show and
// what would be saved are kept for the test to read.
#include "platform/fake/FakePictureWindow.h"

#include <map>
#include <utility>

#include "platform/PictureWindow.h"
#include "platform/fake/FakePlatform.h"

namespace q60::fake {
namespace {

bool shown = false;
ShownPicture received;
ShownPicture sent;
std::string status;
std::string desktopFolder = "/home/op/Pictures";
std::vector<SavedPicture> saved;
bool savesFail = false;
std::map<std::string, PictureFileFrame> pictureFiles;
std::string dialogAnswer;
bool callAccepted = false;
std::string droppedFile;
std::string callAnswer;

ShownPicture copyOf(const GreyPicture& picture)
{
    return ShownPicture{std::vector<uint8_t>(picture.pixels, picture.pixels + picture.width * picture.height),
                        picture.width, picture.height, ""};
}

}  // namespace

bool pictureWindowShown() { return shown; }
ShownPicture pictureWindowPicture() { return received; }
ShownPicture pictureWindowTxPicture() { return sent; }
std::string pictureWindowStatus() { return status; }
void setDesktopPicturesFolder(const std::string& folder) { desktopFolder = folder; }
std::vector<SavedPicture> savedPictures() { return saved; }
void failPictureSaves(bool fail) { savesFail = fail; }
void answerCallSignDialog(bool accept, const std::string& call)
{
    callAccepted = accept;
    callAnswer = call;
}

void answerPictureFileDialog(const std::string& path) { dialogAnswer = path; }
void dropFile(const std::string& path) { droppedFile = path; }

void addPictureFile(const std::string& path, bool isTxFrame, const std::vector<uint8_t>& bytes)
{
    pictureFiles[path] = PictureFileFrame{isTxFrame, bytes};
}

}  // namespace q60::fake

namespace q60 {

void showPictureWindow(WindowHandle, bool shown, const PictureWindowCommands&) { fake::shown = shown; }

// Drops arrive through dropFile.
void acceptFileDrops(WindowHandle, int) {}

std::string takeDroppedFile() { return std::exchange(fake::droppedFile, std::string()); }

void setPictureWindowPicture(const GreyPicture& picture, const std::string& mark)
{
    fake::received = fake::copyOf(picture);
    fake::received.mark = mark;
}

void setPictureWindowTxPicture(const GreyPicture& picture) { fake::sent = fake::copyOf(picture); }
void setPictureWindowStatus(const std::string& text) { fake::status = text; }
void setPictureWindowSmooth(bool) {}
void copyPictureToClipboard(const GreyPicture&) {}
std::string desktopPicturesFolder() { return fake::desktopFolder; }

bool savePicturePng(const std::string& folder, const std::string& name, const GreyPicture& picture,
                    std::string& reason)
{
    if (fake::savesFail) {
        reason = "Permission denied";
        return false;
    }
    fake::saved.push_back(fake::SavedPicture{folder, name, fake::copyOf(picture)});
    return true;
}

bool readPictureFile(const std::string& path, PictureFileFrame& frame, std::string& reason)
{
    const auto found = fake::pictureFiles.find(path);
    if (found == fake::pictureFiles.end()) {
        reason = "Unsupported image format";
        return false;
    }
    frame = found->second;
    return true;
}

bool askCallSign(WindowHandle, std::string& call)
{
    if (fake::callAccepted)
        call = fake::callAnswer;
    return fake::callAccepted;
}

bool askPictureFile(WindowHandle, std::string& path)
{
    if (fake::dialogAnswer.empty())
        return false;
    path = fake::dialogAnswer;
    return true;
}

void showAbout(WindowHandle, const std::string& text) { fake::log("showAbout " + text); }

bool openDocument(const std::vector<std::string>& paths)
{
    fake::log("openDocument " + (paths.empty() ? std::string() : paths.front()));
    return false;
}

}  // namespace q60
