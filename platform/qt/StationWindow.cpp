// SPDX-License-Identifier: GPL-3.0-or-later
// The station's own additions to the main window, on Qt Widgets.
#include "platform/StationWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>

#include "platform/qt/PlatformWindow.h"

namespace q60 {

void setLevelBarTip(WindowHandle window, const char* text)
{
    if (window->levelBar != nullptr)
        window->levelBar->setToolTip(QString::fromUtf8(text));
}

void appendMenu(WindowHandle window, const char* text, const std::vector<MenuItemText>& items)
{
    QMenu* menu = window->menuBar()->addMenu(QString::fromUtf8(text));
    for (const MenuItemText& item : items)
        window->addMenuItem(menu, item.id, item.text, false);
}

}  // namespace q60
