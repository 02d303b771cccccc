// SPDX-License-Identifier: GPL-3.0-or-later
// The picture window on Qt Widgets: the received picture at 4:3 in as much of the
// window as it fills, the picture being sent in a corner pane, F11 for full screen.
// The pictures folder's files are written through QSaveFile. Window thread.
#include "platform/PictureWindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QMessageBox>
#include <QImageWriter>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <utility>

#include "platform/qt/PictureFrame.h"
#include "platform/qt/PlatformWindow.h"
#include "tx/ToneFormat.h"

namespace q60 {
namespace {

constexpr int startWidth = 640;  // pixels: four times the picture
constexpr int startHeight = 480;
constexpr int paneDivisor = 4;  // the sent picture's pane is a quarter of the window's width
constexpr int paneMargin = 8;

QImage imageOf(const GreyPicture& picture)
{
    return QImage(picture.pixels, picture.width, picture.height, picture.width, QImage::Format_Grayscale8).copy();
}

// The largest 4:3 rectangle inside area, centred.
QRect fourByThree(const QRect& area)
{
    const int width = std::min(area.width(), area.height() * 4 / 3);
    const int height = width * 3 / 4;
    return QRect(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2, width, height);
}

const QString title = QStringLiteral("Quorrel 60line Picture");

// The file last dropped on either window, until the logic takes it.
std::string droppedFile;

void acceptLocalFile(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void takeDrop(QDropEvent* event, WindowHandle owner, int command)
{
    droppedFile = event->mimeData()->urls().first().toLocalFile().toStdString();
    event->acceptProposedAction();
    sendCommand(owner, command);
}

// Drops on the main dialog, which gains no control for them: its events are only watched.
class FileDrops : public QObject {
public:
    FileDrops(WindowHandle owner, int command) : QObject(owner), owner(owner), command(command) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter)
            acceptLocalFile(static_cast<QDragEnterEvent*>(event));
        else if (event->type() == QEvent::Drop)
            takeDrop(static_cast<QDropEvent*>(event), owner, command);
        else
            return false;
        return true;
    }

private:
    WindowHandle owner;
    int command;
};

class PictureView : public QWidget {
public:
    PictureView(WindowHandle owner, const PictureWindowCommands& commands)
        : QWidget(owner, Qt::Window), owner(owner), commands(commands)
    {
        setAcceptDrops(true);
        setWindowTitle(title);
        resize(startWidth, startHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QImage received;
    QImage sent;
    QString mark;
    bool smooth = true;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        const QRect picture = fourByThree(rect());
        painter.drawImage(picture, received);
        const int paneWidth = picture.width() / paneDivisor;
        const QRect pane(picture.right() - paneWidth - paneMargin, picture.bottom() - paneWidth * 3 / 4 - paneMargin,
                         paneWidth, paneWidth * 3 / 4);
        painter.drawImage(pane, sent);
        painter.setPen(Qt::white);
        painter.drawRect(pane.adjusted(-1, -1, 0, 0));
        if (!mark.isEmpty())
            drawMark(painter, picture);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_F11)
            isFullScreen() ? showNormal() : showFullScreen();
        else if (event->key() == Qt::Key_Escape && isFullScreen())
            showNormal();
        else
            QWidget::keyPressEvent(event);
    }

    // The logic decides whether the window goes, and remembers that it went.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        sendCommand(owner, commands.close);
    }

    void dragEnterEvent(QDragEnterEvent* event) override { acceptLocalFile(event); }
    void dropEvent(QDropEvent* event) override { takeDrop(event, owner, commands.drop); }

private:
    void drawMark(QPainter& painter, const QRect& picture)
    {
        QFont font = painter.font();
        font.setPixelSize(std::max(12, picture.height() / 24));
        painter.setFont(font);
        const QRect box = painter.fontMetrics().boundingRect(mark).adjusted(-6, -3, 6, 3);
        const QRect placed = box.translated(picture.topLeft() - box.topLeft() + QPoint(paneMargin, paneMargin));
        painter.fillRect(placed, QColor(0, 0, 0, 176));
        painter.drawText(placed, Qt::AlignCenter, mark);
    }

    WindowHandle owner;
    PictureWindowCommands commands;
};

QPointer<PictureView> view;
QImage received(1, 1, QImage::Format_Grayscale8);
QImage sent(1, 1, QImage::Format_Grayscale8);
QString mark;
QString status;
bool smooth = true;

QString titleWithStatus() { return status.isEmpty() ? title : title + QStringLiteral(" - ") + status; }

void refresh()
{
    if (view.isNull())
        return;
    view->received = received;
    view->sent = sent;
    view->mark = mark;
    view->smooth = smooth;
    view->setWindowTitle(titleWithStatus());
    view->update();
}

}  // namespace

void showPictureWindow(WindowHandle owner, bool shown, const PictureWindowCommands& commands)
{
    if (view.isNull() && shown)
        view = new PictureView(owner, commands);
    if (view.isNull())
        return;
    refresh();
    view->setVisible(shown);
}

void acceptFileDrops(WindowHandle window, int command)
{
    window->setAcceptDrops(true);
    window->installEventFilter(new FileDrops(window, command));
}

std::string takeDroppedFile() { return std::exchange(droppedFile, std::string()); }

void setPictureWindowPicture(const GreyPicture& picture, const std::string& text)
{
    received = imageOf(picture);
    mark = QString::fromStdString(text);
    refresh();
}

void setPictureWindowTxPicture(const GreyPicture& picture)
{
    sent = imageOf(picture);
    refresh();
}

// Set at every tick: the title changes only with the text.
void setPictureWindowStatus(const std::string& text)
{
    const QString changed = QString::fromStdString(text);
    if (changed == status)
        return;
    status = changed;
    refresh();
}

void setPictureWindowSmooth(bool on)
{
    smooth = on;
    refresh();
}

void copyPictureToClipboard(const GreyPicture& picture)
{
    QGuiApplication::clipboard()->setImage(imageOf(picture));
}

bool readPictureFile(const std::string& path, PictureFileFrame& frame, std::string& reason)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString().toStdString();
        return false;
    }
    if (pngChunkOverruns(file)) {
        reason = pngChunkOverrunReason;
        return false;
    }
    QImageReader reader(&file);
    const QImage image = reader.read();  // Qt refuses pictures past its allocation limit
    if (image.isNull()) {
        reason = reader.errorString().toStdString();
        return false;
    }
    frame.isTxFrame = isTxFramePicture(image);
    frame.bytes.assign(frame.isTxFrame ? txFrameBytes : cameraFrameBytes, 0);
    if (frame.isTxFrame)
        txFrameOfPicture(image, frame.bytes.data());
    else
        cameraFrameOfPicture(image, frame.bytes.data());
    return true;
}

bool askPictureFile(WindowHandle owner, std::string& path)
{
    const QString chosen = QFileDialog::getOpenFileName(
        owner, QStringLiteral("Send Picture File"), QString::fromStdString(path),
        QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.pgm *.ppm);;All files (*)"));
    if (chosen.isEmpty())
        return false;
    path = chosen.toStdString();
    return true;
}

bool askCallSign(WindowHandle owner, std::string& call)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(owner, QStringLiteral("Call Sign"),
                                               QStringLiteral("Call sign (1 to 11 characters, no spaces):"),
                                               QLineEdit::Normal, QString::fromStdString(call), &accepted);
    if (accepted)
        call = text.toStdString();
    return accepted;
}

void showAbout(WindowHandle owner, const std::string& text)
{
    QMessageBox::about(owner, QStringLiteral("About Quorrel 60line"), QString::fromStdString(text));
}

bool openDocument(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        if (QFileInfo::exists(QString::fromStdString(path)))
            return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    return false;
}

std::string desktopPicturesFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder.toStdString();
}

bool savePicturePng(const std::string& folder, const std::string& name, const GreyPicture& picture,
                    std::string& reason)
{
    const QString folderPath = QString::fromStdString(folder);
    if (!QDir().mkpath(folderPath)) {
        reason = "the folder cannot be made";
        return false;
    }
    QSaveFile file(folderPath + "/" + QString::fromStdString(name));
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(imageOf(picture))) {
        reason = writer.errorString().toStdString();
        return false;
    }
    if (!file.commit()) {
        reason = file.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace q60
