// SPDX-License-Identifier: GPL-3.0-or-later
// The capture window on the real Qt camera stack, fed by the test camera plugin
// (tests/support/test_camera): its picture is white in the left quarter and a
// gradient from black at the top row to white at the bottom row elsewhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Resources.h"
#include "platform/Camera.h"
#include "platform/qt/CaptureWindow.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

constexpr int previewX = 186, previewY = 0, previewWidth = 160, previewHeight = 120;
constexpr uint32_t bytes160x120 = 480 * 120;  // rows of 160 BGR pixels are already 4-byte aligned
constexpr uint32_t bytes320x240 = 960 * 240;

struct Delivered {
    std::vector<uint8_t> bytes;
    uint32_t length;
    bool onWindowThread;
};

std::vector<Delivered>& delivered()
{
    static std::vector<Delivered> frames;
    return frames;
}

int recordFrame(CaptureWindowHandle, const CaptureFrame& frame)
{
    const bool windowThread = QThread::currentThread() == qApp->thread();
    delivered().push_back({std::vector<uint8_t>(frame.data, frame.data + frame.bufferLength), frame.bufferLength,
                           windowThread});
    return 1;
}

void nothing(WindowHandle, const WindowMessage&) {}

// The grey level of pixel x in memory row `row` of a bottom-up frame `width` wide.
int level(const Delivered& frame, int width, int row, int x)
{
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    return frame.bytes.at(row * stride + x * 3 + 1);
}

// Presses a button of the modal dialog once it is up, after picking a row (if >= 0).
void answerFormatDialog(int row, QDialogButtonBox::StandardButton button, QStringList* rows, int* preselected)
{
    QTimer::singleShot(300, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->windowTitle() != QStringLiteral("Video Format")) {
            ADD_FAILURE() << "no format dialog";
            return;
        }
        auto* list = dialog->findChild<QListWidget*>();
        for (int k = 0; k < list->count(); ++k)
            rows->append(list->item(k)->text());
        *preselected = list->currentRow();
        if (row >= 0)
            list->setCurrentRow(row);
        dialog->findChild<QDialogButtonBox*>()->button(button)->click();
    });
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        delivered().clear();
        camera = createCaptureWindow(dialog.get(), previewX, previewY, previewWidth, previewHeight);
        ASSERT_NE(camera, nullptr);
        setFrameCallback(camera, recordFrame);
    }

    // Connects camera 0 with preview on and waits for the first frame.
    void startPreview()
    {
        ASSERT_TRUE(connectCaptureDriver(camera, 0));
        setPreview(camera, true);
        ASSERT_TRUE(QTest::qWaitFor([] { return !delivered().empty(); }, 5000)) << "no frame in 5 s";
    }

    // Waits for count more frames (a busy machine, or a stalled stream that the window
    // restarts, only delays them) and returns the milliseconds they took.
    static qint64 millisecondsForFrames(size_t count)
    {
        QElapsedTimer clock;
        clock.start();
        const size_t before = delivered().size();
        if (!QTest::qWaitFor([&] { return delivered().size() >= before + count; }, 20000))
            return -1;
        return clock.elapsed();
    }

    size_t framesDuring(int milliseconds)
    {
        const size_t before = delivered().size();
        QTest::qWait(milliseconds);
        return delivered().size() - before;
    }

    std::unique_ptr<PlatformWindow> dialog = std::make_unique<PlatformWindow>(mainDialogTemplate, nothing);
    CaptureWindowHandle camera = nullptr;
};

// ---- No camera on the machine (the plugin not loaded) ----

using CameraAbsentTest = CameraTest;

TEST_F(CameraAbsentTest, NamesNoDriverAndConnectsNothing)
{
    char name[64] = "unchanged";
    EXPECT_FALSE(captureDriverName(0, name, sizeof name));
    EXPECT_FALSE(captureDriverName(1, name, sizeof name));
    EXPECT_FALSE(connectCaptureDriver(camera, 0));
    EXPECT_EQ(camera->findChildren<QObject*>().size(), 0) << "no camera objects for no camera";

    DriverCaps caps;
    caps.hasFormatDialog = caps.hasOverlay = true;
    EXPECT_FALSE(getDriverCaps(camera, caps));
    EXPECT_TRUE(caps.hasFormatDialog && caps.hasOverlay) << "record left as it was";
    CaptureStatus status{7, 9, true, true};
    EXPECT_FALSE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 7u);
    EXPECT_EQ(status.imageHeight, 9u);
    EXPECT_FALSE(showFormatDialog(camera));

    setPreview(camera, true);
    EXPECT_EQ(framesDuring(600), 0u);
}

// ---- One camera at 160x120 ----

using CameraWindowTest = CameraTest;

TEST_F(CameraWindowTest, NamesTheCameraCutToTheBufferAndNoSecond)
{
    char name[64];
    ASSERT_TRUE(captureDriverName(0, name, sizeof name));
    EXPECT_STREQ(name, "Test Camera A");
    ASSERT_TRUE(captureDriverName(0, name, 5));
    EXPECT_STREQ(name, "Test");
    ASSERT_TRUE(captureDriverName(0, name, 1));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(captureDriverName(1, name, sizeof name));
    EXPECT_FALSE(captureDriverName(-1, name, sizeof name));
    EXPECT_FALSE(captureDriverName(0, name, 0));
}

TEST_F(CameraWindowTest, IsAVisibleChildOfTheClientAreaUntilTheDialogEnds)
{
    EXPECT_TRUE(isCaptureWindow(camera));
    EXPECT_EQ(camera->parentWidget(), dialog->client());
    EXPECT_TRUE(camera->isVisibleTo(dialog->client()));
    EXPECT_EQ(camera->geometry(), QRect(previewX, previewY, previewWidth, previewHeight));
    moveCaptureWindow(camera, 10, 20, 100, 80);
    EXPECT_EQ(camera->geometry(), QRect(10, 20, 100, 80));
    resizeCaptureWindow(camera, 120, 90);
    EXPECT_EQ(camera->geometry(), QRect(10, 20, 120, 90));
    dialog.reset();
    EXPECT_FALSE(isCaptureWindow(camera));
    EXPECT_FALSE(isCaptureWindow(nullptr));
}

TEST_F(CameraWindowTest, DeliversBottomUpFramesOnTheWindowThreadAtThePreviewRate)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    // At most one frame per 200 ms tick: 5 frames take at least 4 ticks.
    const qint64 elapsed = millisecondsForFrames(5);
    ASSERT_GE(elapsed, 0) << "the frames stopped";
    EXPECT_GE(elapsed, 4 * 200 - 50);
    for (const Delivered& frame : delivered()) {
        EXPECT_TRUE(frame.onWindowThread);
        EXPECT_EQ(frame.length, bytes160x120);
        ASSERT_EQ(frame.bytes.size(), bytes160x120);
    }
    const Delivered& frame = delivered().back();
    // First row in memory is the image's bottom row, near white; the last the top, black.
    EXPECT_GE(level(frame, 160, 0, 100), 235);
    EXPECT_LE(level(frame, 160, 119, 100), 20);
    EXPECT_NEAR(level(frame, 160, 60, 100), 125, 12);
    for (int row : {0, 60, 119}) {
        EXPECT_GE(level(frame, 160, row, 0), 240) << row;
        EXPECT_GE(level(frame, 160, row, 39), 240) << row;
        EXPECT_NEAR(level(frame, 160, row, 40), level(frame, 160, row, 159), 3) << row;
    }
    // Blue, green and red alike: a grey picture stays grey.
    EXPECT_NEAR(frame.bytes[100 * 3], frame.bytes[100 * 3 + 2], 3);
}

TEST_F(CameraWindowTest, FollowsANewPreviewRate)
{
    setPreviewRate(camera, 500);
    ASSERT_NO_FATAL_FAILURE(startPreview());
    // At 500 ms a tick, 3 frames take at least 2 ticks (the default rate, 400 ms).
    const qint64 elapsed = millisecondsForFrames(3);
    ASSERT_GE(elapsed, 0) << "the frames stopped";
    EXPECT_GE(elapsed, 2 * 500 - 50);
}

TEST_F(CameraWindowTest, PreviewOffStopsTheFramesAndOnResumesThem)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    setPreview(camera, false);
    EXPECT_EQ(framesDuring(800), 0u);
    CaptureStatus status;
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_FALSE(status.liveWindow);
    setPreview(camera, true);
    delivered().clear();
    EXPECT_TRUE(QTest::qWaitFor([] { return delivered().size() >= 2; }, 5000));
}

TEST_F(CameraWindowTest, ReportsCapsAndStatusOnlyWhileConnected)
{
    DriverCaps caps;
    caps.hasOverlay = caps.hasSourceDialog = caps.hasDisplayDialog = true;
    EXPECT_FALSE(getDriverCaps(camera, caps));
    ASSERT_TRUE(connectCaptureDriver(camera, 0));
    ASSERT_TRUE(getDriverCaps(camera, caps));
    EXPECT_TRUE(caps.hasFormatDialog);
    EXPECT_FALSE(caps.hasOverlay);
    EXPECT_FALSE(caps.hasSourceDialog);
    EXPECT_FALSE(caps.hasDisplayDialog);

    CaptureStatus status{7, 9, true, true};
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 0u) << "no frame yet, no format chosen";
    EXPECT_EQ(status.imageHeight, 0u);
    EXPECT_FALSE(status.liveWindow);
    EXPECT_FALSE(status.overlayWindow);

    setPreview(camera, true);
    ASSERT_TRUE(QTest::qWaitFor([] { return !delivered().empty(); }, 5000));
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 160u);
    EXPECT_EQ(status.imageHeight, 120u);
    EXPECT_TRUE(status.liveWindow);

    // A failed connect leaves nothing connected.
    EXPECT_FALSE(connectCaptureDriver(camera, 1));
    EXPECT_FALSE(getCaptureStatus(camera, status));
    delivered().clear();
    EXPECT_EQ(framesDuring(600), 0u);
}

TEST_F(CameraWindowTest, FormatDialogAcceptedSwitchesTheCameraToTheChosenFormat)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    QStringList rows;
    int preselected = -2;
    answerFormatDialog(1, QDialogButtonBox::Ok, &rows, &preselected);
    EXPECT_TRUE(showFormatDialog(camera));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].startsWith("160 x 120  YUYV  ")) << rows[0].toStdString();
    EXPECT_TRUE(rows[0].endsWith("-30 fps")) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith("320 x 240  YUYV  ")) << rows[1].toStdString();
    EXPECT_EQ(preselected, 0) << "the format running";

    CaptureStatus status;
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 320u) << "the chosen format until a frame shows otherwise";
    delivered().clear();
    ASSERT_TRUE(QTest::qWaitFor([] { return delivered().size() >= 2; }, 5000));
    EXPECT_EQ(delivered().back().length, bytes320x240);
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 320u);
    EXPECT_EQ(status.imageHeight, 240u);
}

TEST_F(CameraWindowTest, FormatDialogCancelledChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    QStringList rows;
    int preselected = -2;
    answerFormatDialog(1, QDialogButtonBox::Cancel, &rows, &preselected);
    EXPECT_FALSE(showFormatDialog(camera));
    EXPECT_EQ(rows.size(), 2);
    delivered().clear();
    ASSERT_TRUE(QTest::qWaitFor([] { return delivered().size() >= 2; }, 5000));
    EXPECT_EQ(delivered().back().length, bytes160x120);
}

// The preview is painted unscaled from its top-left and cut at the window's edges.
TEST_F(CameraWindowTest, PreviewShowsThePictureUnscaledAndCut)
{
    moveCaptureWindow(camera, previewX, previewY, 100, 80);
    const QImage before = camera->grab().toImage();
    EXPECT_EQ(before.pixelColor(50, 40), QColor(Qt::black)) << "black before any frame";

    ASSERT_NO_FATAL_FAILURE(startPreview());
    QTest::qWait(300);
    const QImage shown = camera->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(100, 80));
    const Delivered& frame = delivered().back();
    EXPECT_GE(qGreen(shown.pixel(0, 0)), 240) << "the white quarter at the top-left";
    EXPECT_GE(qGreen(shown.pixel(39, 79)), 240);
    // Widget row 79 is image row 79, which is memory row 40 of the bottom-up frame.
    EXPECT_NEAR(qGreen(shown.pixel(60, 79)), level(frame, 160, 40, 60), 6);
    EXPECT_NEAR(qGreen(shown.pixel(60, 0)), level(frame, 160, 119, 60), 6);
    EXPECT_LE(qGreen(shown.pixel(99, 79)), 200) << "not the picture's bottom squeezed in";
}

TEST_F(CameraWindowTest, ClosingTheDialogWhilePreviewingEndsTheFrames)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    dialog.reset();
    EXPECT_FALSE(isCaptureWindow(camera));
    const size_t count = delivered().size();
    QTest::qWait(800);
    EXPECT_EQ(delivered().size(), count);
}

// ---- Two cameras ----

using TwoCamerasTest = CameraTest;

TEST_F(TwoCamerasTest, NamesBothAndSwitchesBetweenThem)
{
    char name[64];
    ASSERT_TRUE(captureDriverName(0, name, sizeof name));
    EXPECT_STREQ(name, "Test Camera A");
    ASSERT_TRUE(captureDriverName(1, name, sizeof name));
    EXPECT_STREQ(name, "Test Camera B");
    EXPECT_FALSE(captureDriverName(2, name, sizeof name));

    ASSERT_NO_FATAL_FAILURE(startPreview());
    ASSERT_TRUE(connectCaptureDriver(camera, 1));
    delivered().clear();
    ASSERT_TRUE(QTest::qWaitFor([] { return delivered().size() >= 2; }, 5000)) << "the second camera runs";
    EXPECT_EQ(delivered().back().length, bytes160x120);
}

// ---- One camera at 320x240 ----

using LargeCameraTest = CameraTest;

TEST_F(LargeCameraTest, DeliversTheWholeLargerPictureBottomUp)
{
    ASSERT_NO_FATAL_FAILURE(startPreview());
    QTest::qWait(300);
    const Delivered& frame = delivered().back();
    EXPECT_EQ(frame.length, bytes320x240);
    ASSERT_EQ(frame.bytes.size(), bytes320x240);
    EXPECT_GE(level(frame, 320, 0, 200), 235);
    EXPECT_LE(level(frame, 320, 239, 200), 20);
    EXPECT_GE(level(frame, 320, 0, 79), 240);
    EXPECT_LE(level(frame, 320, 239, 80), 20);
    CaptureStatus status;
    ASSERT_TRUE(getCaptureStatus(camera, status));
    EXPECT_EQ(status.imageWidth, 320u);
    EXPECT_EQ(status.imageHeight, 240u);
}

}  // namespace
}  // namespace q60
