// SPDX-License-Identifier: GPL-3.0-or-later
// The video source through the main dialog's dispatcher, on the fake camera: drivers
// listed and connected at start, the saved choice, the driver, preview, overlay and
// format commands, with the capture window's requests and the menu in order.
#include "video/VideoSource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "platform/fake/FakeCamera.h"
#include "platform/fake/FakePlatform.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using Log = std::vector<std::string>;

const DriverCaps formatOnly{false, true, false, false};
const DriverCaps everything{true, true, true, true};
const fake::FakeDriver cameraA{"Cam A", formatOnly};
const fake::FakeDriver cameraB{"Cam B", everything, 320, 240};

// The window's calls that concern the camera: those of the capture window, the menu
// and the caption; the ports, timer and sliders are other modules' business.
Log cameraCalls()
{
    static const std::set<std::string> others{"setMenuItemTip", "startTimer", "setSliderPosition", "sendCommand"};
    Log calls;
    for (const std::string& call : fake::callLog())
        if (others.count(call.substr(0, call.find(' '))) == 0 && !call.starts_with("checkMenuItem 402"))
            calls.push_back(call);  // 402xx: the Station menu's own marks
    return calls;
}

void deliver(const WindowMessage& message) { mainWindowProc(fake::window(), message); }

// The refresh for a driver with these capabilities (overlay, format, source and
// display dialogs, '1' each that it has) and image size, marking this item.
Log refreshFor(const std::string& caps, const std::string& size, int item)
{
    return Log{"getDriverCaps",
               "enableMenuItem 132 " + caps.substr(0, 1),
               "enableMenuItem 134 " + caps.substr(1, 1),
               "enableMenuItem 135 " + caps.substr(2, 1),
               "enableMenuItem 136 " + caps.substr(3, 1),
               "getCaptureStatus",
               "resizeCaptureWindow " + size,
               "setPreviewRate 200",
               "setPreview 1",
               "checkMenuItem " + std::to_string(item) + " 1"};
}

Log operator+(Log a, const Log& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Log home{"moveCaptureWindow 186 0 160 120"};

class VideoSourceTest : public ::testing::Test {
protected:
    void SetUp() override { fake::setWindowProc(mainWindowProc); }

    // Starts the dialog with this settings file (none when empty); the log holds
    // only what follows.
    static Log start(const std::string& settings = "")
    {
        if (!settings.empty())
            test::writeFile("settings.txt", settings);
        fake::callLog().clear();
        deliver({MessageKind::InitDialog});
        Log calls = cameraCalls();
        fake::callLog().clear();
        return calls;
    }

    static void command(int id) { deliver({MessageKind::Command, id}); }

    static void expectPlace(int x, int y, int width, int height)
    {
        fake::CaptureWindowPlace place = fake::captureWindowPlace();
        EXPECT_EQ((std::vector{place.x, place.y, place.width, place.height}), (std::vector{x, y, width, height}));
    }

    test::ScratchDirectory scratch;
};

std::string settingsWithDriver(int driver)
{
    return "0 TX_Port\n" + std::to_string(driver) + " VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call\n";
}

TEST_F(VideoSourceTest, TwoDriversAreListedAndTheFirstIsConnectedMarkedAndPreviewed)
{
    fake::installDriver(0, cameraA);
    fake::installDriver(1, cameraB);
    EXPECT_EQ(start(), (Log{"createCaptureWindow 186 0 160 120", "setFrameCallback", "appendMenuItem 1 151 &0 Cam A",
                            "connectCaptureDriver 0", "checkMenuItem 151 1", "appendMenuItem 1 152 &1 Cam B",
                            "drawMenuBar"} +
                        refreshFor("0100", "160 120", 151) + home));
    expectPlace(186, 0, 160, 120);
    EXPECT_TRUE(fake::previewOn());
}

TEST_F(VideoSourceTest, ASavedChoiceOfDriverOneConnectsItAfterDriverZero)
{
    fake::installDriver(0, cameraA);
    fake::installDriver(1, cameraB);
    Log calls = start(settingsWithDriver(1));
    Log afterFirst(calls.end() - 15, calls.end());
    EXPECT_EQ(afterFirst, (Log{"checkMenuItem 151 0", "checkMenuItem 152 1", "connectCaptureDriver 1", "drawMenuBar"} +
                           refreshFor("1111", "320 240", 152) + home));
    EXPECT_EQ(VideoDriver, 1);
    expectPlace(186, 0, 160, 120);
    deliver({MessageKind::Destroy});
    EXPECT_EQ(test::readFile("settings.txt"), settingsWithDriver(1));
}

TEST_F(VideoSourceTest, WithoutDriversNothingIsListedAndEveryCapabilityIsGreyed)
{
    EXPECT_EQ(start(), (Log{"createCaptureWindow 186 0 160 120", "setFrameCallback", "drawMenuBar",
                            "getDriverCaps", "enableMenuItem 132 0", "enableMenuItem 134 0",
                            "enableMenuItem 135 0", "enableMenuItem 136 0", "getCaptureStatus",
                            "resizeCaptureWindow 0 0", "setPreviewRate 200", "setPreview 1",
                            "checkMenuItem 151 1"} +
                        home));
    EXPECT_EQ(VideoDriver, 0);
}

TEST_F(VideoSourceTest, AFirstDriverThatFailsIsNotMarkedAndNoOtherIsTried)
{
    fake::FakeDriver broken = cameraA;
    broken.connects = false;
    fake::installDriver(0, broken);
    fake::installDriver(1, cameraB);
    Log calls = start();
    EXPECT_EQ(Log(calls.begin(), calls.begin() + 6),
              (Log{"createCaptureWindow 186 0 160 120", "setFrameCallback", "appendMenuItem 1 151 &0 Cam A",
                   "connectCaptureDriver 0 failed", "appendMenuItem 1 152 &1 Cam B", "drawMenuBar"}));
    EXPECT_EQ(Log(calls.begin() + 6, calls.end()), refreshFor("0000", "0 0", 151) + home);
}

TEST_F(VideoSourceTest, ALoneDriverOneIsConnectedButTheChoiceStaysZero)
{
    fake::installDriver(1, cameraB);
    Log calls = start();
    EXPECT_EQ(Log(calls.begin() + 2, calls.begin() + 5),
              (Log{"appendMenuItem 1 152 &1 Cam B", "connectCaptureDriver 1", "checkMenuItem 152 1"}));
    deliver({MessageKind::Destroy});
    EXPECT_EQ(test::readFile("settings.txt"), test::defaultSettingsText);

    // The next start asks for driver 0, which is not there: the marks and the choice
    // follow the command, the connection fails quietly.
    fake::callLog().clear();
    command(cmdDriver0);
    Log next = cameraCalls();
    EXPECT_EQ(Log(next.begin(), next.begin() + 4),
              (Log{"checkMenuItem 151 1", "checkMenuItem 152 0", "connectCaptureDriver 0 failed", "drawMenuBar"}));
    EXPECT_EQ(next.back(), home.back());
    EXPECT_EQ(VideoDriver, 0);
}

TEST_F(VideoSourceTest, WithoutACaptureWindowDriversAreListedButNothingIsAskedOfIt)
{
    fake::failCaptureWindowCreation();
    fake::installDriver(0, cameraA);
    EXPECT_EQ(start(), (Log{"createCaptureWindow 186 0 160 120 failed", "appendMenuItem 1 151 &0 Cam A",
                            "drawMenuBar", "enableMenuItem 132 0", "enableMenuItem 134 0", "enableMenuItem 135 0",
                            "enableMenuItem 136 0", "checkMenuItem 151 1"}));
    for (int id : {cmdPreview, cmdOverlay, cmdVideoFormat, cmdDriver0})
        command(id);
    command(cmdDriver1);
    EXPECT_EQ(cameraCalls(), (Log{"checkMenuItem 151 1", "checkMenuItem 152 0", "checkMenuItem 151 0",
                                  "checkMenuItem 152 1", "drawMenuBar", "enableMenuItem 132 0",
                                  "enableMenuItem 134 0", "enableMenuItem 135 0", "enableMenuItem 136 0",
                                  "checkMenuItem 152 1"}));
    EXPECT_EQ(fake::deliverFrame(CaptureFrame{nullptr, 0}), -1);
}

TEST_F(VideoSourceTest, ACompletedFormatDialogLeavesTheWindowAtX170AndACancelledOneWhereItWas)
{
    fake::installDriver(0, cameraA);
    start();
    command(cmdVideoFormat);
    EXPECT_EQ(cameraCalls(), Log{"showFormatDialog cancelled"});
    expectPlace(186, 0, 160, 120);

    fake::answerFormatDialog(true, 320, 240);
    fake::callLog().clear();
    command(cmdVideoFormat);
    EXPECT_EQ(cameraCalls(), (Log{"showFormatDialog", "getCaptureStatus", "resizeCaptureWindow 320 240",
                                  "moveCaptureWindow 170 0 160 120"}));
    expectPlace(170, 0, 160, 120);

    // Choosing the connected driver again changes only the marks and the choice.
    fake::callLog().clear();
    command(cmdDriver0);
    EXPECT_EQ(cameraCalls(), (Log{"checkMenuItem 151 1", "checkMenuItem 152 0"}));
    expectPlace(170, 0, 160, 120);
}

TEST_F(VideoSourceTest, ADriverWithoutAFormatDialogIgnoresTheCommand)
{
    fake::installDriver(0, fake::FakeDriver{"Plain", DriverCaps{}});
    fake::answerFormatDialog(true, 320, 240);
    start();
    command(cmdVideoFormat);
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(VideoSourceTest, PreviewTogglesWithoutMarksAndADriverChangeTurnsItBackOn)
{
    fake::installDriver(0, cameraA);
    fake::installDriver(1, cameraB);
    start();
    command(cmdPreview);
    EXPECT_FALSE(fake::previewOn());
    command(cmdPreview);
    EXPECT_TRUE(fake::previewOn());
    EXPECT_EQ(cameraCalls(), (Log{"getCaptureStatus", "setPreview 0", "getCaptureStatus", "setPreview 1"}));

    command(cmdPreview);
    command(cmdDriver1);
    EXPECT_TRUE(fake::previewOn());
}

TEST_F(VideoSourceTest, OverlayIsAskedForAgainstTheReportedState)
{
    fake::installDriver(0, cameraA);
    start();
    command(cmdOverlay);
    EXPECT_EQ(cameraCalls(), (Log{"getCaptureStatus", "setOverlay 1"}));
}

TEST_F(VideoSourceTest, FramesReachTheGrabberOnceTheDialogHasStartedAndAfterADriverChange)
{
    fake::installDriver(0, cameraA);
    fake::installDriver(1, cameraB);
    start();
    command(cmdDriver1);
    txActive = true;
    std::vector<uint8_t> white(3 * 160 * 120, 255);
    EXPECT_EQ(fake::deliverFrame(CaptureFrame{white.data(), static_cast<uint32_t>(white.size())}), 1);
    EXPECT_EQ(TxFrame[0].load(), 255);
    EXPECT_EQ(TxFrame[txFrameBytes - 1].load(), 255);
    EXPECT_EQ(std::count(fake::callLog().begin(), fake::callLog().end(), "setFrameCallback"), 0);
}

}  // namespace
}  // namespace q60
