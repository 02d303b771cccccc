// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test controls of the fake picture window and pictures folder.
#include <cstdint>
#include <string>
#include <vector>

namespace q60::fake {

struct ShownPicture {
    std::vector<uint8_t> pixels;  // top row first
    int width = 0;
    int height = 0;
    std::string mark;
};

bool pictureWindowShown();
ShownPicture pictureWindowPicture();
ShownPicture pictureWindowTxPicture();
std::string pictureWindowStatus();

// The desktop's pictures folder the fake reports.
void setDesktopPicturesFolder(const std::string& folder);

// Saved pictures: the folder and name of the last one, and its pixels; whether the
// next saves fail.
struct SavedPicture {
    std::string folder;
    std::string name;
    ShownPicture picture;
};
std::vector<SavedPicture> savedPictures();
void failPictureSaves(bool fail);

// Picture files the fake reads: path to its frame; any other path is not a picture.
void addPictureFile(const std::string& path, bool isTxFrame, const std::vector<uint8_t>& bytes);
// What the next call sign dialogs answer: OK with this text, or Cancel.
void answerCallSignDialog(bool accept, const std::string& call);
// A file dropped on either window (the test then sends the drop command).
void dropFile(const std::string& path);
// The file the next picture file dialogs choose; empty for Cancel.
void answerPictureFileDialog(const std::string& path);

}  // namespace q60::fake
