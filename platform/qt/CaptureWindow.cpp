// SPDX-License-Identifier: GPL-3.0-or-later
// The camera operations of platform/Camera.h on Qt Multimedia: the video source's
// preview child window, fed by a QCamera and a QVideoSink, handing its frames to the
// logic as bottom-up BGR bitmaps, as a capture driver on Windows delivers them.
#include "platform/qt/CaptureWindow.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMediaDevices>
#include <QPainter>
#include <QPointer>
#include <QSet>
#include <QVBoxLayout>
#include <cstring>

#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

constexpr int defaultPreviewRateMs = 200;
// No frame for this long while previewing means the stream has stalled. A camera
// that stays silent (unplugged, busy) is retried ever more rarely, not rebuilt every second.
constexpr qint64 stallRestartMs = 1000;
constexpr qint64 longestStallWaitMs = 32000;

// The capture windows alive, so a handle can be checked; window thread only.
QSet<CaptureWindow*>& liveWindows()
{
    static QSet<CaptureWindow*> windows;
    return windows;
}

// No camera means no QCamera at all: Qt would run a test source at full speed instead.
bool cameraAt(int index, QCameraDevice& device)
{
    const QList<QCameraDevice> cameras = QMediaDevices::videoInputs();
    if (index < 0 || index >= cameras.size())
        return false;
    device = cameras[index];
    return true;
}

// Qt 6.4 calls on the window thread, other versions may call from a streaming
// thread, hence the lock. Only the newest frame is kept; converting waits for the tick.
void keepFrame(LatestFrame& latest, const QVideoFrame& frame)
{
    const std::lock_guard<std::mutex> guard(latest.lock);
    latest.frame = frame;
    latest.fresh = true;
    latest.size = frame.size();
}

}  // namespace

CaptureWindow::CaptureWindow(QWidget* parent) : QWidget(parent), stallWaitMs(stallRestartMs)
{
    liveWindows().insert(this);
    previewTimer.setInterval(defaultPreviewRateMs);
    connect(&previewTimer, &QTimer::timeout, this, &CaptureWindow::deliverFrame);
}

CaptureWindow::~CaptureWindow()
{
    previewTimer.stop();
    disconnectCamera();
    liveWindows().remove(this);
}

bool CaptureWindow::connectCamera(int index)
{
    disconnectCamera();
    QCameraDevice chosen;
    return cameraAt(index, chosen) && openCamera(chosen, QCameraFormat());
}

bool CaptureWindow::openCamera(const QCameraDevice& chosen, const QCameraFormat& format)
{
    device = chosen;
    sink = std::make_unique<QVideoSink>();
    camera = std::make_unique<QCamera>(device);
    session = std::make_unique<QMediaCaptureSession>();
    attachSink();
    if (!format.isNull())
        camera->setCameraFormat(format);
    session->setCamera(camera.get());
    session->setVideoSink(sink.get());
    if (camera->error() != QCamera::NoError) {
        disconnectCamera();
        return false;
    }
    sinceFrame.start();
    if (previewOn) {
        camera->start();
        previewTimer.start();
    }
    return true;
}

// Without a camera the preview timer would only wake the window thread for nothing.
void CaptureWindow::disconnectCamera()
{
    previewTimer.stop();
    if (camera)
        camera->stop();
    session.reset();
    camera.reset();
    sink.reset();
    device = QCameraDevice();
    latest = std::make_shared<LatestFrame>();
}

// Frames go to a fresh record, so one of the old format still in flight lands in
// the old record, unseen.
void CaptureWindow::attachSink()
{
    disconnect(frameConnection);
    latest = std::make_shared<LatestFrame>();
    std::shared_ptr<LatestFrame> target = latest;
    frameConnection = connect(sink.get(), &QVideoSink::videoFrameChanged, sink.get(),
            [target](const QVideoFrame& frame) { keepFrame(*target, frame); }, Qt::DirectConnection);
}

void CaptureWindow::setPreview(bool on)
{
    previewOn = on;
    sinceFrame.start();
    if (on && camera)
        previewTimer.start();
    else
        previewTimer.stop();
    if (camera && on)
        camera->start();
    else if (camera)
        camera->stop();
}

void CaptureWindow::setPreviewRate(int milliseconds)
{
    previewTimer.setInterval(qMax(1, milliseconds));
}

// A new camera, session and sink with the format set before they start. Also how a
// format is changed: Qt 6.4's pipeline, stopped and started again with another format,
// can wedge, and tearing down a wedged one may hang the window thread.
void CaptureWindow::reopenCamera(const QCameraFormat& format)
{
    const QCameraDevice same = device;
    disconnectCamera();
    openCamera(same, format);
}

// In Qt 6.4 the stream can stop for good without an error (seen after a modal
// dialog ran, about one time in three); stopping and starting the camera does not
// bring it back, a new camera, session and sink do.
void CaptureWindow::restartIfStalled()
{
    if (!camera || sinceFrame.elapsed() < stallWaitMs)
        return;
    reopenCamera(camera->cameraFormat());
    stallWaitMs = qMin(2 * stallWaitMs, longestStallWaitMs);
}

// Unscaled at the top-left, cut to the window; black until the first frame.
void CaptureWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, shown);
}

// Converts only the newest frame, once per tick, and only when a new one came.
void CaptureWindow::deliverFrame()
{
    QVideoFrame frame;
    bool fresh = false;
    {
        const std::lock_guard<std::mutex> guard(latest->lock);
        fresh = latest->fresh;
        // Taken, not copied: a camera has few buffers, and one held here is one less to fill.
        if (fresh)
            frame = std::move(latest->frame);
        latest->frame = QVideoFrame();
        latest->fresh = false;
    }
    // Restarting waits for the streaming thread, so never under the lock.
    if (!fresh) {
        restartIfStalled();
        return;
    }
    sinceFrame.restart();
    stallWaitMs = stallRestartMs;
    const QImage image = frame.toImage().convertToFormat(QImage::Format_BGR888);
    if (image.isNull())
        return;
    shown = image;
    update();
    if (callback == nullptr)
        return;
    // Bottom-up, as a capture driver on Windows hands out a bitmap.
    const QImage bottomUp = image.mirrored(false, true);
    const CaptureFrame captured{bottomUp.constBits(), static_cast<uint32_t>(bottomUp.sizeInBytes())};
    callback(this, captured);
}

// The last frame's size, else the size of the format chosen, else nothing yet.
CaptureStatus CaptureWindow::status() const
{
    QSize size;
    {
        const std::lock_guard<std::mutex> guard(latest->lock);
        size = latest->size;
    }
    if (size.isEmpty())
        size = camera->cameraFormat().resolution();
    CaptureStatus status;
    status.imageWidth = static_cast<uint32_t>(qMax(0, size.width()));
    status.imageHeight = static_cast<uint32_t>(qMax(0, size.height()));
    status.liveWindow = previewOn;
    status.overlayWindow = false;
    return status;
}

// The format chosen, else the one Qt picked as far as the frames show it.
QCameraFormat CaptureWindow::format() const
{
    if (!camera->cameraFormat().isNull())
        return camera->cameraFormat();
    const CaptureStatus now = status();
    for (const QCameraFormat& format : device.videoFormats())
        if (format.resolution() == QSize(int(now.imageWidth), int(now.imageHeight)))
            return format;
    return QCameraFormat();
}

namespace {

QString describeFormat(const QCameraFormat& format)
{
    return QStringLiteral("%1 x %2  %3  %4-%5 fps")
        .arg(format.resolution().width())
        .arg(format.resolution().height())
        .arg(QVideoFrameFormat::pixelFormatToString(format.pixelFormat()))
        .arg(qRound(format.minFrameRate()))
        .arg(qRound(format.maxFrameRate()));
}

// Our own modal list of the camera's formats; the chosen row, or -1 when cancelled.
int chooseFormat(QWidget* owner, const QList<QCameraFormat>& formats, const QCameraFormat& current)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Video Format"));
    auto* list = new QListWidget(&dialog);
    for (const QCameraFormat& format : formats)
        list->addItem(describeFormat(format));
    list->setCurrentRow(static_cast<int>(formats.indexOf(current)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->selectedItems().isEmpty())
        return -1;
    return list->currentRow();
}

}  // namespace

CaptureWindowHandle createCaptureWindow(WindowHandle parent, int x, int y, int width, int height)
{
    if (parent == nullptr)
        return nullptr;
    auto* window = new CaptureWindow(parent->client());
    window->setGeometry(x, y, width, height);
    window->show();
    return window;
}

bool isCaptureWindow(CaptureWindowHandle window)
{
    return window != nullptr && liveWindows().contains(window);
}

// Cut on a character boundary, so the name stays valid UTF-8.
bool captureDriverName(int index, char* name, int nameSize)
{
    QCameraDevice device;
    if (name == nullptr || nameSize <= 0 || !cameraAt(index, device))
        return false;
    const QByteArray text = device.description().toUtf8();
    qsizetype length = qMin<qsizetype>(text.size(), nameSize - 1);
    while (length > 0 && length < text.size() && (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(name, text.constData(), static_cast<size_t>(length));
    name[length] = '\0';
    return true;
}

void setFrameCallback(CaptureWindowHandle window, FrameCallback callback)
{
    window->callback = callback;
}

bool connectCaptureDriver(CaptureWindowHandle window, int index)
{
    return window->connectCamera(index);
}

bool getDriverCaps(CaptureWindowHandle window, DriverCaps& caps)
{
    if (!window->connected())
        return false;
    caps = DriverCaps{};
    caps.hasFormatDialog = !window->device.videoFormats().isEmpty();
    return true;
}

bool getCaptureStatus(CaptureWindowHandle window, CaptureStatus& status)
{
    if (!window->connected())
        return false;
    status = window->status();
    return true;
}

void setPreviewRate(CaptureWindowHandle window, int milliseconds)
{
    window->setPreviewRate(milliseconds);
}

void setPreview(CaptureWindowHandle window, bool on)
{
    window->setPreview(on);
}

void setOverlay(CaptureWindowHandle, bool) {}

bool showFormatDialog(CaptureWindowHandle window)
{
    if (!window->connected())
        return false;
    const QList<QCameraFormat> formats = window->device.videoFormats();
    if (formats.isEmpty())
        return false;
    const QCameraDevice device = window->device;
    const QPointer<CaptureWindow> guard(window);
    const int row = chooseFormat(window->window(), formats, window->format());
    // While the dialog ran, the window may have gone or changed cameras.
    if (row < 0 || guard.isNull() || !window->connected() || window->device != device)
        return false;
    window->reopenCamera(formats[row]);
    return true;
}

void resizeCaptureWindow(CaptureWindowHandle window, int width, int height)
{
    window->resize(width, height);
}

void moveCaptureWindow(CaptureWindowHandle window, int x, int y, int width, int height)
{
    window->setGeometry(x, y, width, height);
    window->repaint();
}

}  // namespace q60
