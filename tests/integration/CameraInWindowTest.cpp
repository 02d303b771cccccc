// SPDX-License-Identifier: GPL-3.0-or-later
// The camera in the program's window on the real platform, with the test camera (a
// GStreamer plugin whose picture has its left quarter white and the rest a gradient
// from black at the top to white at the bottom): the drivers in the menu, the marks
// and the saved choice, the preview unscaled at its place, the camera picture in the
// TxFrame while transmitting, and the caption asking for 160x120 when the camera
// delivers another size. Runs inside desktop-session.sh --sound with the test
// camera's environment.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "platform/qt/PlatformWindow.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/FrameModulator.h"
#include "video/VideoSource.h"

namespace q60 {
namespace {

const QString wrongSizeCaption = "Set Capture to 160 * 120, 24bit color";
// The camera's first frames arrive within about a second of the window showing.
constexpr int firstFramesMs = 5000;

int grey(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)); }

class CameraInWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(std::getenv("GST_PLUGIN_PATH"), nullptr) << "run with the test camera"; }

    void start(const std::string& settings = "")
    {
        if (!settings.empty())
            test::writeFile("settings.txt", settings);
        window = std::make_unique<PlatformWindow>(mainDialogTemplate, mainWindowProc);
        window->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        if (window == nullptr)
            return;
        if (txActive)
            QTest::mouseClick(window->control(idTxButton), Qt::LeftButton);
        window->close();
    }

    // The client area at the preview's place, once it shows more than the empty window.
    QImage preview()
    {
        QImage area;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                area = window->client()->grab(QRect(captureX, captureY, cameraWidth, cameraHeight)).toImage();
                return grey(area, 5, 60) > 200;
            },
            firstFramesMs));
        return area;
    }

    QAction* item(int id) { return window->menuItem(id); }

    test::ScratchDirectory scratch;
    std::unique_ptr<PlatformWindow> window;
};

TEST_F(CameraInWindowTest, TheCameraIsListedMarkedAndPreviewedUprightAtItsPlace)
{
    start();
    ASSERT_NE(item(cmdDriver0), nullptr);
    EXPECT_EQ(item(cmdDriver0)->text(), "&0 Test Camera A");
    EXPECT_TRUE(item(cmdDriver0)->isChecked());
    EXPECT_EQ(item(cmdDriver1), nullptr);
    EXPECT_TRUE(item(cmdVideoFormat)->isEnabled());
    for (int id : {cmdOverlay, cmdVideoSource, cmdVideoDisplay})
        EXPECT_FALSE(item(id)->isEnabled()) << id;

    QImage area = preview();
    EXPECT_GT(grey(area, 5, 60), 200) << "the white quarter on the left";
    EXPECT_GT(grey(area, 35, 3), 200);
    EXPECT_LT(grey(area, 100, 3), 40) << "the gradient's dark top";
    EXPECT_GT(grey(area, 100, 116), 200) << "the gradient's light bottom";
    EXPECT_LT(grey(area, 100, 30), grey(area, 100, 90));
    EXPECT_EQ(window->windowTitle(), "Quorrel 60line");
}

// The frames come bottom-up, as from a Windows capture driver: the TxFrame's first
// line is the camera's bottom row, which the receiver puts at the bottom again.
TEST_F(CameraInWindowTest, WhileTransmittingTheCameraPictureBecomesTheTxFrameBottomRowFirst)
{
    start();
    preview();
    QTest::mouseClick(window->control(idTxButton), Qt::LeftButton);
    ASSERT_TRUE(txActive) << "TX refused: no playback device?";
    ASSERT_TRUE(QTest::qWaitFor([] { return TxFrame[40].load() > 200; }, firstFramesMs));
    QTest::qWait(500);  // a few more frames

    auto at = [](int i, int line) { return static_cast<int>(TxFrame[i + pixelsPerLine * line].load()); };
    for (int line : {0, 30, 59}) {
        EXPECT_GT(at(5, line), 230) << "white quarter, line " << line;
        EXPECT_GT(at(19, line), 230) << "white quarter, line " << line;
    }
    EXPECT_GT(at(50, 0), 220) << "the camera's bottom row, light";
    EXPECT_LT(at(50, 59), 35) << "the camera's top row, dark";
    for (int line = 1; line < txFrameLines; ++line)
        EXPECT_LE(at(50, line), at(50, line - 1)) << "the gradient darkens line by line, line " << line;
}

TEST_F(CameraInWindowTest, ASavedChoiceOfTheSecondCameraIsConnectedAndChoosingTheFirstIsSaved)
{
    ASSERT_STREQ(std::getenv("Q60_TEST_CAMERA_COUNT"), "2");
    start("0 TX_Port\n1 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call\n");
    EXPECT_EQ(item(cmdDriver0)->text(), "&0 Test Camera A");
    EXPECT_EQ(item(cmdDriver1)->text(), "&1 Test Camera B");
    EXPECT_FALSE(item(cmdDriver0)->isChecked());
    EXPECT_TRUE(item(cmdDriver1)->isChecked());
    EXPECT_GT(grey(preview(), 5, 60), 200);

    item(cmdDriver0)->trigger();
    EXPECT_TRUE(item(cmdDriver0)->isChecked());
    EXPECT_FALSE(item(cmdDriver1)->isChecked());
    EXPECT_EQ(VideoDriver, 0);
    QImage area = preview();
    EXPECT_LT(grey(area, 100, 3), 40);
    EXPECT_GT(grey(area, 100, 116), 200);

    window->close();
    window.reset();
    EXPECT_EQ(test::readFile("settings.txt"), test::defaultSettingsText);
}

// A 320x240 camera: the preview shows its top-left quarter unscaled, and every
// frame asks for the right size in the caption, even with TX off.
TEST_F(CameraInWindowTest, ACameraAt320x240IsShownCutAndAsksFor160x120InTheCaption)
{
    ASSERT_STREQ(std::getenv("Q60_TEST_CAMERA_SIZE"), "320x240");
    start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == wrongSizeCaption; }, firstFramesMs))
        << window->windowTitle().toStdString();
    QImage area = preview();
    EXPECT_GT(grey(area, 75, 60), 200) << "the white quarter is 80 pixels wide at this size";
    EXPECT_LT(grey(area, 100, 3), 40);
    const int middle = grey(area, 100, 116);
    EXPECT_GT(middle, 90) << "row 116 of 240 is half way down the gradient";
    EXPECT_LT(middle, 160);
}

}  // namespace
}  // namespace q60
