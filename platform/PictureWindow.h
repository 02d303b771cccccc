// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture window beside the main dialog: the received picture large, the picture
// being sent in a small pane; and the pictures folder where received pictures are kept.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace q60 {

// A grey picture, one byte a pixel, top row first.
struct GreyPicture {
    const uint8_t* pixels;
    int width;
    int height;
};

// The commands the picture window sends its owner: closing it by its own means sends
// close instead, so the logic decides and remembers; a file dropped on it sends drop.
struct PictureWindowCommands {
    int close;
    int drop;
};

// Shows or hides the picture window, made on first use.
void showPictureWindow(WindowHandle owner, bool shown, const PictureWindowCommands& commands);

// From now on a local file dropped on window sends command, as the picture window
// sends its drop command.
void acceptFileDrops(WindowHandle window, int command);

// The file last dropped on either window, once; empty when there is none.
std::string takeDroppedFile();

// The received picture to show, and a mark written over it (empty for none).
void setPictureWindowPicture(const GreyPicture& picture, const std::string& mark);
// The picture being sent, for the small pane.
void setPictureWindowTxPicture(const GreyPicture& picture);
// The receiver's status, shown after the window's title: what it measured, or empty.
void setPictureWindowStatus(const std::string& text);
// Smooth (true) or sharp (false) scaling of both pictures.
void setPictureWindowSmooth(bool smooth);

// Puts the picture on the clipboard.
void copyPictureToClipboard(const GreyPicture& picture);

// A picture file as the transmitter takes it: the TxFrame itself (txFrameBytes) when
// isTxFrame, else a camera frame (cameraFrameBytes) for the grabber to reduce.
struct PictureFileFrame {
    bool isTxFrame = false;
    std::vector<uint8_t> bytes;
};

// Reads the file once; on failure (unreadable, not a picture, too large to decode),
// reason says why and frame is untouched.
bool readPictureFile(const std::string& path, PictureFileFrame& frame, std::string& reason);

// The file dialog for a picture to send; true, with path set, when one was chosen.
bool askPictureFile(WindowHandle owner, std::string& path);

// The call sign dialog, call preset; true, with call set to the text, on OK.
bool askCallSign(WindowHandle owner, std::string& call);

// The About box: a title, then text, with an OK button.
void showAbout(WindowHandle owner, const std::string& text);
// Opens the first of these files that exists in the desktop's viewer; false when none
// does or none could be opened.
bool openDocument(const std::vector<std::string>& paths);

// The desktop's folder for pictures (may not exist yet).
std::string desktopPicturesFolder();

// Writes the picture as an 8-bit grey PNG to folder/name, making the folder when
// needed. The file appears whole or not at all; on failure, reason says why.
bool savePicturePng(const std::string& folder, const std::string& name, const GreyPicture& picture,
                    std::string& reason);

}  // namespace q60
