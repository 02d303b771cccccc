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
#include <vector>

#include "platform/qt/AudioThread.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

int clampPercent(int value) { return std::clamp(value, 0, 100); }

// Each painted pixel takes the bitmap pixel under its centre, as a stretch without
// smoothing does. Done here, at the screen's own format, so painting is a plain copy:
// Qt's scaled drawImage hands a picture this size to its thread pool, two more threads
// woken at every repaint.
QImage nearestScaled(const uint8_t* bits, int bitmapWidth, int bitmapHeight, int width, int height)
{
    QImage scaled(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (bitmapWidth <= 0 || bitmapHeight <= 0)
        return scaled;
    const int rowBytes = (3 * bitmapWidth + 3) / 4 * 4;
    std::vector<int> fromColumn(scaled.width());
    for (int column = 0; column < scaled.width(); ++column)
        fromColumn[column] = static_cast<int>(3 * ((2LL * column + 1) * bitmapWidth / (2LL * scaled.width())));
    for (int row = 0; row < scaled.height(); ++row) {
        const int fromRow = static_cast<int>((2LL * row + 1) * bitmapHeight / (2LL * scaled.height()));
        const uint8_t* from = bits + static_cast<qsizetype>(bitmapHeight - 1 - fromRow) * rowBytes;
        auto* to = reinterpret_cast<QRgb*>(scaled.scanLine(row));
        for (int column = 0; column < scaled.width(); ++column) {
            const uint8_t* pixel = from + fromColumn[column];
            to[column] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
    return scaled;
}

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
    if (window == nullptr)
        return;
    // Only what the window procedure draws, as a dialog clipping its children repaints:
    // redrawing every button and slider too would cost more than the picture.
    if (window->painted.isEmpty())
        window->client()->repaint();
    else
        window->client()->repaint(window->painted);
}

void stretchBitmap(WindowHandle window, int x, int y, int width, int height, const uint8_t* bits,
                   int bitmapWidth, int bitmapHeight)
{
    QPainter* painter = window->activePainter;
    if (painter == nullptr)
        return;
    painter->drawImage(QPoint(x, y), nearestScaled(bits, bitmapWidth, bitmapHeight, width, height));
    window->painted += QRect(x, y, width, height);
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
