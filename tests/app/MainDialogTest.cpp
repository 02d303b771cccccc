// SPDX-License-Identifier: GPL-3.0-or-later
// The main dialog's dispatcher on the fake platform: start-up and shut-down, the
// commands it routes, the sliders and painting. Every test runs in a fresh working
// directory, where the settings and coefficient files are looked for.
#include "app/MainDialog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Resources.h"
#include "app/Settings.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakePlatform.h"
#include "rx/FilterBank.h"
#include "rx/PictureAssembler.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

const std::string goodSettings =
    "1 TX_Port\n1 VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\nABC123 Call\n";

using test::defaultSettingsText;
using test::readFile;
using test::writeFile;

// count coefficients 0.01, 0.02, ... separated by blanks.
std::string numbers(int count)
{
    std::string text;
    for (int k = 1; k <= count; ++k)
        text += std::to_string(k / 100.0) + " ";
    return text;
}

// The logged calls that begin with one of these words, in order: start-up logs more
// (the capture window's), which the settings and sliders do not depend on.
Log callsOf(std::initializer_list<std::string> words)
{
    Log calls;
    for (const std::string& call : fake::callLog())
        for (const std::string& word : words)
            if (call.rfind(word + " ", 0) == 0)
                calls.push_back(call);
    return calls;
}

void deliver(const WindowMessage& message) { mainWindowProc(fake::window(), message); }
void command(int id) { deliver({MessageKind::Command, id}); }
void slide(int id, ScrollCode code, int position) { deliver({MessageKind::HScroll, id, code, position}); }

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // As on the real platform, commands sent to the window come back through the dispatcher.
        fake::setWindowProc(mainWindowProc);
    }

    // Starts the dialog with this settings file (none when empty) and returns the
    // calls of the sequence that the settings and sliders account for.
    static Log startWith(const std::string& settings)
    {
        if (!settings.empty())
            writeFile("settings.txt", settings);
        fake::callLog().clear();
        deliver({MessageKind::InitDialog});
        return callsOf({"startTimer", "sendCommand", "setSliderPosition"});
    }

    // The thumbs at start for a file with these values; the values themselves stay as read.
    static void expectThumbs(int32_t brightness, int32_t contrast, int brightnessThumb, int contrastThumb)
    {
        SCOPED_TRACE("Brightness " + std::to_string(brightness) + ", Contrast " + std::to_string(contrast));
        startWith("0 TX_Port\n0 VideoDriver\n" + std::to_string(contrast) + " Contrast\n" +
                  std::to_string(brightness) + " Brightness\n10 Synclevel\nNOCALL Call\n");
        EXPECT_EQ(callsOf({"setSliderPosition"}),
                  (Log{"setSliderPosition 1073 " + std::to_string(brightnessThumb),
                       "setSliderPosition 1074 " + std::to_string(contrastThumb)}));
        EXPECT_EQ(Brightness, brightness);
        EXPECT_EQ(Contrast, contrast);
    }

    // Values no slider can give, so that an unchanged one shows.
    static constexpr int32_t brightnessMark = 7;
    static constexpr int32_t contrastMark = 8;

    static void expectSlide(int id, ScrollCode code, int position, int32_t brightness, int32_t contrast)
    {
        Brightness = brightnessMark;
        Contrast = contrastMark;
        slide(id, code, position);
        EXPECT_EQ(Brightness, brightness) << "slider " << id << " at " << position;
        EXPECT_EQ(Contrast, contrast) << "slider " << id << " at " << position;
    }

    test::ScratchDirectory scratch;
};

TEST_F(MainDialogTest, StartUpStartsTheTimerAppliesPortThenDriverAndPlacesTheThumbsLast)
{
    EXPECT_EQ(startWith(goodSettings),
              (Log{"startTimer 1 500", "sendCommand 40086", "sendCommand 152", "setSliderPosition 1073 25",
                   "setSliderPosition 1074 23"}));
    EXPECT_EQ(mainWindow, fake::window());
    EXPECT_EQ(Synclevel, 7.0F);
}

TEST_F(MainDialogTest, StartUpWithoutAFileSendsNothingAndClosingWritesTheDefaults)
{
    EXPECT_EQ(startWith(""),
              (Log{"startTimer 1 500", "setSliderPosition 1073 45", "setSliderPosition 1074 50"}));
    EXPECT_EQ(mainWindow, fake::window());
    deliver({MessageKind::Destroy});
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

TEST_F(MainDialogTest, SettingsReadAtStartAreWrittenBackIdenticallyAtExit)
{
    startWith(goodSettings);
    deliver({MessageKind::Destroy});
    EXPECT_EQ(readFile("settings.txt"), goodSettings);
}

TEST_F(MainDialogTest, ThumbsStartAtTheTruncatedPositionClampedToTheTrack)
{
    constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
    constexpr int32_t highest = std::numeric_limits<int32_t>::max();
    expectThumbs(140, 380, 45, 50);
    expectThumbs(141, 382, 45, 50);  // the remainder is dropped
    expectThumbs(49, 229, 0, 0);     // -1/2 and -1/3 truncate toward zero
    expectThumbs(250, 530, 100, 100);
    expectThumbs(252, 533, 100, 100);
    expectThumbs(100, 200, 25, 0);
    expectThumbs(lowest, highest, 0, 100);
    expectThumbs(highest, lowest, 100, 0);
}

TEST_F(MainDialogTest, ExitOnlyAsksTheWindowToClose)
{
    command(cmdExit);
    EXPECT_EQ(fake::callLog(), Log{"postClose"});
    EXPECT_FALSE(fs::exists("settings.txt")) << "settings are written when the window is destroyed";
}

TEST_F(MainDialogTest, TestPicTwiceMarksAndClearsTheItemAndTheFlag)
{
    command(cmdTestPic);
    EXPECT_TRUE(testPicture);
    EXPECT_EQ(fake::callLog(), Log{"checkMenuItem 40084 1"});
    command(cmdTestPic);
    EXPECT_FALSE(testPicture);
    EXPECT_EQ(fake::callLog(), (Log{"checkMenuItem 40084 1", "checkMenuItem 40084 0"}));
}

TEST_F(MainDialogTest, MissingCoefficientFilesAreReportedAndChangeNoFilter)
{
    for (int id : {cmdLoadLowPass, cmdLoadHighPass, cmdLoadHighPass63}) {
        lowPass23 = 0;
        highPass23 = 0;
        highPass63 = 1;
        fake::callLog().clear();
        command(id);
        EXPECT_EQ(fake::callLog(), Log{"showMessage load failed"}) << id;
        EXPECT_EQ(lowPass23, 0) << id;
        EXPECT_EQ(highPass23, 0) << id;
        EXPECT_EQ(highPass63, 1) << id;
    }
}

TEST_F(MainDialogTest, EachLoadCommandReadsItsOwnFileAndSaysNothingOnSuccess)
{
    writeFile("lpfcoeff.txt", numbers(16));
    command(cmdLoadLowPass);
    EXPECT_EQ(lowPass23, 0);
    EXPECT_FLOAT_EQ(lowPassCoeffs[15], 0.16F);
    writeFile("hpfcoeff.txt", numbers(16));
    command(cmdLoadHighPass);
    EXPECT_EQ(highPass23, 0);
    writeFile("hpfcoeff63.txt", numbers(32));
    command(cmdLoadHighPass63);
    EXPECT_EQ(highPass63, 1);
    EXPECT_FLOAT_EQ(highPassCoeffs[31], 0.32F);
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(MainDialogTest, EnterEscapeTheUnhandledVideoDialogsAndUnknownCommandsDoNothing)
{
    for (int id : {1, 2, cmdVideoSource, cmdVideoDisplay, 0, -1, 9999}) {
        command(id);
        EXPECT_EQ(fake::callLog(), Log{}) << id;
    }
    EXPECT_FALSE(testPicture);
    EXPECT_EQ(Brightness, 140);
    EXPECT_EQ(Contrast, 380);
    EXPECT_EQ(lowPass23, 1);
    EXPECT_FALSE(fs::exists("settings.txt"));
}

TEST_F(MainDialogTest, PaintStretchesTheReceivedPictureToDoubleHeight)
{
    deliver({MessageKind::Paint});
    EXPECT_EQ(fake::callLog(), Log{"stretchBitmap 5 0 160 120 160 60"});
}

TEST_F(MainDialogTest, DraggingTheThumbsSetsBrightnessAndContrast)
{
    expectSlide(idBrightnessSlider, ScrollCode::ThumbTrack, 0, 50, contrastMark);
    expectSlide(idBrightnessSlider, ScrollCode::ThumbPosition, 45, 140, contrastMark);
    expectSlide(idBrightnessSlider, ScrollCode::ThumbTrack, 100, 250, contrastMark);
    expectSlide(idContrastSlider, ScrollCode::ThumbPosition, 0, brightnessMark, 230);
    expectSlide(idContrastSlider, ScrollCode::ThumbTrack, 50, brightnessMark, 380);
    expectSlide(idContrastSlider, ScrollCode::ThumbPosition, 100, brightnessMark, 530);
}

TEST_F(MainDialogTest, KeysClicksAndOtherControlsLeaveBothValuesAlone)
{
    expectSlide(idBrightnessSlider, ScrollCode::Other, 0, brightnessMark, contrastMark);
    expectSlide(idBrightnessSlider, ScrollCode::Other, 100, brightnessMark, contrastMark);
    expectSlide(idContrastSlider, ScrollCode::Other, 50, brightnessMark, contrastMark);
    expectSlide(idLevelBar, ScrollCode::ThumbTrack, 50, brightnessMark, contrastMark);
    expectSlide(idTxButton, ScrollCode::ThumbPosition, 50, brightnessMark, contrastMark);
}

TEST_F(MainDialogTest, DestroyWritesTheCurrentValuesAndThenEndsTheLoop)
{
    slide(idBrightnessSlider, ScrollCode::ThumbTrack, 10);
    slide(idContrastSlider, ScrollCode::ThumbPosition, 20);
    deliver({MessageKind::Destroy});
    EXPECT_EQ(readFile("settings.txt"),
              "0 TX_Port\n0 VideoDriver\n290 Contrast\n70 Brightness\n10 Synclevel\nNOCALL Call\n");
    EXPECT_EQ(callsOf({"postQuitMessage"}), Log{"postQuitMessage 0"});
    EXPECT_EQ(fake::callLog().back(), "postQuitMessage 0");
}

// Transmission through the dispatcher, on a real feeder thread, with COM1 the port.
TEST_F(MainDialogTest, DestroyWhileTransmittingUnkeysStopsAndClosesThePortThenQuits)
{
    startWith(goodSettings);
    command(idTxButton);
    ASSERT_TRUE(txActive);
    fake::callLog().clear();
    deliver({MessageKind::Destroy});
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM1 0", "setDtr COM1 0", "stopPlayBuffer", "sleepMs 1000", "joinThread",
                                    "releasePlaybackDevice", "closeSerialPort COM1", "postQuitMessage 0"}));
    EXPECT_EQ(readFile("settings.txt"), goodSettings);
}

TEST_F(MainDialogTest, DestroyWhileIdleClosesTheChosenPortAndWritesItsNumber)
{
    startWith(goodSettings);
    command(cmdPortCom2);
    fake::callLog().clear();
    deliver({MessageKind::Destroy});
    EXPECT_EQ(fake::callLog(), (Log{"closeSerialPort COM2", "postQuitMessage 0"}));
    EXPECT_EQ(readFile("settings.txt").substr(0, 10), "2 TX_Port\n");
}

TEST_F(MainDialogTest, LostPlaybackUnkeysAndAfterTheTxButtonStoppedDestroyOnlyClosesThePort)
{
    startWith(goodSettings);
    command(idTxButton);
    fake::callLog().clear();
    deliver({MessageKind::PlaybackLost});
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM1 0", "setDtr COM1 0"}));
    EXPECT_TRUE(txActive);
    command(idTxButton);
    EXPECT_FALSE(txActive);
    fake::callLog().clear();
    deliver({MessageKind::Destroy});
    EXPECT_EQ(fake::callLog(), (Log{"closeSerialPort COM1", "postQuitMessage 0"}));
}

// Reception through the dispatcher: the RX button, the 500 ms timer and shut-down.
TEST_F(MainDialogTest, RxButtonTogglesReceptionAndTheTimerDrainsOnlyWhileItIsOn)
{
    const WindowMessage timer{MessageKind::Timer, rxTimerId};
    deliver(timer);
    EXPECT_EQ(fake::callLog(), Log{});
    command(idRxButton);
    ASSERT_TRUE(rxActive);
    EXPECT_EQ(fake::callLog(), (Log{"openCaptureDevice", "createCaptureBuffer 22050 11025", "startCapture"}));

    fake::capture(0, std::vector<uint8_t>(100, 128));
    fake::callLog().clear();
    deliver(timer);
    // Silence restarts the picture too, which repaints.
    EXPECT_EQ(callsOf({"lockCaptureBuffer", "unlockCaptureBuffer", "setLevelBar"}),
              (Log{"lockCaptureBuffer 0 100", "unlockCaptureBuffer 100 0", "setLevelBar 0"}));

    fake::callLog().clear();
    command(idRxButton);
    EXPECT_FALSE(rxActive);
    deliver(timer);
    EXPECT_EQ(fake::callLog(), (Log{"stopCapture", "releaseCaptureDevice"}));
}

TEST_F(MainDialogTest, DestroyWhileReceivingStopsCaptureWritesTheSettingsAndQuits)
{
    startWith("");
    command(idRxButton);
    ASSERT_TRUE(rxActive);
    fake::callLog().clear();
    deliver({MessageKind::Destroy});
    EXPECT_EQ(fake::callLog(), (Log{"stopCapture", "releaseCaptureDevice", "postQuitMessage 0"}));
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

}  // namespace
}  // namespace q60
