// SPDX-License-Identifier: GPL-3.0-or-later
// The window requests of the logic, carried out on Qt Widgets, and the program's
// application object and event loop.
#include "platform/Window.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "platform/qt/AudioThread.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

int clampPercent(int value) { return std::clamp(value, 0, 100); }

}  // namespace

int runMainDialog(const DialogTemplate& dialog, WindowProc procedure)
{
    // The application object is runDesktopProgram's. Only the window procedure ends
    // the loop, once the window's destruction has run.
    QApplication::setQuitOnLastWindowClosed(false);
    PlatformWindow window(dialog, procedure);
    QApplication::setWindowIcon(window.windowIcon());
    window.start();
    const int status = QApplication::exec();
    endAudioThread();
    return status;
}

void sendCommand(WindowHandle window, int id)
{
    window->deliver(WindowMessage{MessageKind::Command, id});
}

void postClose(WindowHandle window)
{
    QMetaObject::invokeMethod(window, [window] { window->close(); }, Qt::QueuedConnection);
}

void postQuitMessage(int status) { QCoreApplication::exit(status); }

void checkMenuItem(WindowHandle window, int id, bool checked)
{
    if (QAction* action = window->menuItem(id)) {
        action->setCheckable(checked);
        action->setChecked(checked);
    }
}

void enableMenuItem(WindowHandle window, int id, bool enabled)
{
    if (QAction* action = window->menuItem(id))
        action->setEnabled(enabled);
}

// The tip shows both in a status line and, since the window has none, as a tooltip.
void setMenuItemTip(WindowHandle window, int id, const char* text)
{
    if (QAction* action = window->menuItem(id)) {
        action->setStatusTip(QString::fromUtf8(text));
        action->setToolTip(QString::fromUtf8(text));
        for (QObject* owner : action->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(owner))
                menu->setToolTipsVisible(true);
    }
}

void appendMenuItem(WindowHandle window, int popup, int id, const char* text)
{
    if (QMenu* menu = window->popup(popup))
        window->addMenuItem(menu, id, text, false);
}

void drawMenuBar(WindowHandle window) { window->menuBar()->update(); }

void showMessage(WindowHandle window, const char* text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("info"), QString::fromUtf8(text), QMessageBox::Ok,
                    window);
    // A sound device that just failed to open says which one and what to check.
    box.setInformativeText(QString::fromStdString(takeSoundFailure()));
    box.exec();
}

void setCaption(WindowHandle window, const char* text) { window->setWindowTitle(QString::fromUtf8(text)); }

void repaintNow(WindowHandle window)
{
    if (window != nullptr)
        window->client()->repaint();
}

void stretchBitmap(WindowHandle window, int x, int y, int width, int height, const uint8_t* bits,
                   int bitmapWidth, int bitmapHeight)
{
    QPainter* painter = window->activePainter;
    if (painter == nullptr)
        return;
    const qsizetype rowBytes = (3 * bitmapWidth + 3) / 4 * 4;
    const QImage bottomUp(bits, bitmapWidth, bitmapHeight, rowBytes, QImage::Format_BGR888);
    painter->drawImage(QRect(x, y, width, height), bottomUp.mirrored(false, true));
}

void setLevelBar(WindowHandle window, int percent)
{
    if (window->levelBar != nullptr)
        window->levelBar->setValue(clampPercent(percent));
}

void setSliderPosition(WindowHandle window, int id, int position)
{
    if (auto* slider = qobject_cast<QSlider*>(window->control(id)))
        slider->setValue(clampPercent(position));
}

void startTimer(WindowHandle window, int id, int periodMs)
{
    auto* timer = new QTimer(window);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, window,
                     [window, id] { window->deliver(WindowMessage{MessageKind::Timer, id}); });
    timer->start(periodMs);
}

}  // namespace q60
