// SPDX-License-Identifier: GPL-3.0-or-later
// The station's own additions to the main window, on Qt Widgets.
#include "platform/StationWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

// An item's text "&Save Picture\tCtrl+S" shows its key; the key itself must be set.
void keyFromText(QAction* action)
{
    const QString text = action->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        action->setShortcut(QKeySequence(text.mid(tab + 1)));
    action->setShortcutContext(Qt::ApplicationShortcut);  // also from the picture window
}

}  // namespace

void setLevelBarTip(WindowHandle window, const char* text)
{
    if (window->levelBar != nullptr)
        window->levelBar->setToolTip(QString::fromUtf8(text));
}

// The line lives in the window's status bar, below the dialog's own client area,
// whose size and controls stay as they are. Its height is fixed so that the client
// area's place stays known from the window's height (tests/integration/session.sh).
constexpr int statusLineHeight = 20;  // pixels

void setStatusLine(WindowHandle window, const char* text, const char* tip)
{
    auto* line = window->statusBar()->findChild<QLabel*>(QStringLiteral("statusLine"));
    if (line == nullptr) {
        line = new QLabel(window->statusBar());
        line->setObjectName(QStringLiteral("statusLine"));
        window->statusBar()->setSizeGripEnabled(false);
        window->statusBar()->setFixedHeight(statusLineHeight);
        window->statusBar()->addWidget(line, 1);
    }
    line->setText(QString::fromUtf8(text));
    line->setToolTip(QString::fromUtf8(tip));
}

void appendMenu(WindowHandle window, const char* text, const std::vector<MenuItemText>& items)
{
    QMenu* menu = window->menuBar()->addMenu(QString::fromUtf8(text));
    for (const MenuItemText& item : items) {
        window->addMenuItem(menu, item.id, item.text, false);
        keyFromText(window->menuItem(item.id));
    }
}

}  // namespace q60
