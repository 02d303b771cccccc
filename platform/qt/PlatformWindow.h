// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog on Qt Widgets: a fixed-size top-level window built from a dialog
// template, whose every event reaches the logic's window procedure as a message.
#include <QMainWindow>
#include <QRegion>
#include <map>

#include "platform/Window.h"

class QAction;
class QMenu;
class QPainter;
class QProgressBar;

namespace q60 {

struct PlatformWindow : QMainWindow {
    PlatformWindow(const DialogTemplate& dialog, WindowProc procedure);

    // Delivers InitDialog, then shows the window with the first tab stop focused.
    void start();
    // Hands a message to the window procedure; nothing arrives after Destroy.
    void deliver(const WindowMessage& message);

    QWidget* client() const { return clientArea; }
    QWidget* control(int id) const;
    QAction* menuItem(int id) const;
    QMenu* popup(int index) const;
    void addMenuItem(QMenu* menu, int id, const char* text, bool checked);

    // The painter of the paint in progress, null outside Paint.
    QPainter* activePainter = nullptr;
    // What the window procedure drew in its paints so far: all a repaint need renew.
    QRegion painted;
    QProgressBar* levelBar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(const DialogTemplate& dialog);
    void buildMenu(const DialogTemplate& dialog);
    QWidget* makeControl(const ControlTemplate& entry);
    QWidget* makeButton(const ControlTemplate& entry);
    QWidget* makeLevelBar();
    QWidget* makeSlider(const ControlTemplate& entry);
    void triggerMenuItem(QAction* action, int id);

    WindowProc procedure;
    QWidget* clientArea;
    std::map<int, QWidget*> controls;
    std::map<int, QAction*> menuItems;
    bool destroyed = false;
};

}  // namespace q60
