// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the status line from the TX and RX flags and push-to-talk's own state;
// the window procedure calls it after every message. Window thread.
#include "app/StatusLine.h"

#include "app/MainDialog.h"
#include "platform/StationWindow.h"
#include "tx/PttControl.h"

namespace q60 {
namespace {

const char* pttStateText(PttState state)
{
    const char* texts[] = {"PTT not used", "PTT unkeyed", "PTT keyed", "PTT cannot key"};
    return texts[static_cast<int>(state)];
}

}  // namespace

std::string statusLineText()
{
    return std::string("TX ") + (txActive ? "on" : "off") + "   RX " + (rxActive ? "on" : "off") + "   " +
           pttStateText(pttStatus().state);
}

void showStatusLine(WindowHandle window)
{
    setStatusLine(window, statusLineText().c_str(), pttStatus().detail.c_str());
}

}  // namespace q60
