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
// What the test says a dialog answers: OK with its choice, or Cancel.
template <typename Choice>
struct Answer {
    bool accepts = false;
    Choice choice{};

    bool give(Choice& shown) const
    {
        if (accepts)
            shown = choice;
        return accepts;
    }
};

Answer<SoundChoice> soundDevicesAnswer;
Answer<PttChoice> pttAnswer;
Answer<ReceiverChoice> receiverAnswer;

}  // namespace

void answerSoundDevicesDialog(bool accept, const SoundChoice& choice) { soundDevicesAnswer = {accept, choice}; }
void answerPttDialog(bool accept, const PttChoice& choice) { pttAnswer = {accept, choice}; }
void answerReceiverDialog(bool accept, const ReceiverChoice& choice) { receiverAnswer = {accept, choice}; }

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
    return fake::soundDevicesAnswer.give(choice);
}

bool runPttDialog(WindowHandle, PttChoice& choice)
{
    fake::log("runPttDialog " + choice.device);
    return fake::pttAnswer.give(choice);
}

bool runReceiverDialog(WindowHandle, ReceiverChoice& choice)
{
    fake::log("runReceiverDialog");
    return fake::receiverAnswer.give(choice);
}

}  // namespace q60
