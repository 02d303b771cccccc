// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The camera's preview child window on Qt Multimedia: it connects a QCamera through a
// capture session to a video sink, keeps the newest frame, and at the preview rate
// paints it and hands it bottom-up to the frame callback on the window thread.
#include <QCamera>
#include <QCameraDevice>
#include <QElapsedTimer>
#include <QImage>
#include <QMediaCaptureSession>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>
#include <memory>
#include <mutex>

#include "platform/Camera.h"

namespace q60 {

// Where the sink's thread leaves frames for the window thread. Shared with the
// sink's connection, so a frame arriving while the window goes away lands here.
struct LatestFrame {
    std::mutex lock;
    QVideoFrame frame;
    bool fresh = false;  // arrived since the last delivery
    QSize size;          // of the last frame received, empty when none
};

struct CaptureWindow : QWidget {
    explicit CaptureWindow(QWidget* parent);
    ~CaptureWindow() override;

    bool connectCamera(int index);
    bool openCamera(const QCameraDevice& chosen, const QCameraFormat& format);
    void disconnectCamera();
    bool connected() const { return camera != nullptr; }
    void setPreview(bool on);
    void setPreviewRate(int milliseconds);
    void reopenCamera(const QCameraFormat& format);
    CaptureStatus status() const;
    QCameraFormat format() const;

    QCameraDevice device;
    FrameCallback callback = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void deliverFrame();
    void attachSink();
    void restartIfStalled();

    // Deleted in this order: the session first, so nothing feeds the sink any more.
    std::unique_ptr<QVideoSink> sink;
    std::unique_ptr<QCamera> camera;
    std::unique_ptr<QMediaCaptureSession> session;
    std::shared_ptr<LatestFrame> latest = std::make_shared<LatestFrame>();
    QMetaObject::Connection frameConnection;
    QTimer previewTimer;
    bool previewOn = false;
    QElapsedTimer sinceFrame;  // since the last frame delivered or the camera started
    qint64 stallWaitMs;  // how long a silence may last before the next rebuild
    QImage shown;  // the frame painted, top-down
};

}  // namespace q60
