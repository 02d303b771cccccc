// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/StationWindow.h: the tip and the menus are kept
// for the test to read, the dialog answered as the test says.
#include "platform/fake/FakeStationWindow.h"

#include "platform/StationWindow.h"
#include "platform/fake/FakePlatform.h"

namespace q60::fake {
namespace {

std::string tip;
std::vector<std::string> menus;
std::string status;
std::string statusTip;
bool dialogAccepts = false;
SoundChoice dialogChoice;
bool pttDialogAccepts = false;
PttChoice pttDialogChoice;
bool receiverDialogAccepts = false;
ReceiverChoice receiverDialogChoice;

}  // namespace

void answerSoundDevicesDialog(bool accept, const SoundChoice& choice)
{
    dialogAccepts = accept;
    dialogChoice = choice;
}

void answerPttDialog(bool accept, const PttChoice& choice)
{
    pttDialogAccepts = accept;
    pttDialogChoice = choice;
}

void answerReceiverDialog(bool accept, const ReceiverChoice& choice)
{
    receiverDialogAccepts = accept;
    receiverDialogChoice = choice;
}

std::string levelBarTip() { return tip; }
std::vector<std::string> appendedMenus() { return menus; }
std::string statusLine() { return status; }
std::string statusLineTip() { return statusTip; }

}  // namespace q60::fake

namespace q60 {

void setLevelBarTip(WindowHandle, const char* text) { fake::tip = text; }

void setStatusLine(WindowHandle, const char* text, const char* tip)
{
    fake::status = text;
    fake::statusTip = tip;
}

void appendMenu(WindowHandle, const char* text, const std::vector<MenuItemText>& items)
{
    std::string menu = text;
    for (const MenuItemText& item : items)
        menu += " | " + std::to_string(item.id) + " " + item.text;
    fake::menus.push_back(menu);
}

bool runSoundDevicesDialog(WindowHandle, SoundChoice& choice)
{
    fake::log("runSoundDevicesDialog " + choice.output + " " + choice.input);
    if (fake::dialogAccepts)
        choice = fake::dialogChoice;
    return fake::dialogAccepts;
}

}  // namespace q60

namespace q60 {

bool runPttDialog(WindowHandle, PttChoice& choice)
{
    fake::log("runPttDialog " + choice.device);
    if (fake::pttDialogAccepts)
        choice = fake::pttDialogChoice;
    return fake::pttDialogAccepts;
}

}  // namespace q60

namespace q60 {

bool runReceiverDialog(WindowHandle, ReceiverChoice& choice)
{
    fake::log("runReceiverDialog");
    if (fake::receiverDialogAccepts)
        choice = fake::receiverDialogChoice;
    return fake::receiverDialogAccepts;
}

}  // namespace q60
