// SPDX-License-Identifier: GPL-3.0-or-later
// The main dialog's template, menu and icon, as data the platform builds the window from.
#include "app/Resources.h"

#include "app/quorrel60.xpm"

namespace q60 {
namespace {

// Positions and sizes in dialog units.
constexpr ControlTemplate controls[] = {
    {idTxButton, ControlKind::PushButton, "TX", true, 190, 85, 37, 14},
    {idRxButton, ControlKind::PushButton, "RX", true, 8, 85, 37, 14},
    {idLevelBar, ControlKind::VerticalLevelBar, "Progress1", false, 113, 0, 6, 74},
    {idBrightnessSlider, ControlKind::Slider, "Slider1", false, 51, 83, 61, 9},
    {idContrastSlider, ControlKind::Slider, "Slider1", false, 51, 92, 61, 9},
};

constexpr MenuEntry popup(const char* text) { return {MenuEntryKind::Popup, 0, text, false}; }
constexpr MenuEntry item(int id, const char* text, bool checked = false)
{
    return {MenuEntryKind::Item, id, text, checked};
}
constexpr MenuEntry separator{MenuEntryKind::Separator, 0, nullptr, false};
constexpr MenuEntry endPopup{MenuEntryKind::EndPopup, 0, nullptr, false};

constexpr MenuEntry menu[] = {
    popup("&File"),
        item(cmdExit, "E&xit"),
    endPopup,
    popup("&Options"),
        item(cmdPreview, "&Preview", true),
        item(cmdOverlay, "&Overlay"),
        separator,
        item(cmdVideoFormat, "Video &Format..."),
        item(cmdVideoSource, "Video &Source..."),
        item(cmdVideoDisplay, "Video &Display..."),
        separator,
        popup("TX Port"),
            item(cmdPortNone, "None"),
            item(cmdPortCom1, "COM 1"),
            item(cmdPortCom2, "COM 2"),
        endPopup,
        separator,
    endPopup,
    popup("Special"),
        item(cmdLoadLowPass, "Load LPF 31 coeff from file"),
        item(cmdLoadHighPass, "Load HPF 31 coeff from file"),
        separator,
        item(cmdTestPic, "TestPic"),
    endPopup,
};

}  // namespace

const DialogTemplate mainDialogTemplate = {
    "Quorrel 60line", 50, 100, 235, 105, controls, menu, quorrel60Xpm,
};

}  // namespace q60
