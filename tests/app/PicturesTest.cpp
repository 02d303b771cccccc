// SPDX-License-Identifier: GPL-3.0-or-later
// The kept picture through the receive chain (complete pictures only, held with its
// time), the picture window remembered, and Save Picture, on the fake platform.
#include "app/Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "app/TxPicture.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakeAudioFile.h"
#include "platform/fake/FakePictureWindow.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeStationFile.h"
#include "rx/FilterBank.h"
#include "rx/PictureAssembler.h"
#include "rx/RxRecorder.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/CallOverlay.h"
#include "tx/FrameModulator.h"
#include "video/FrameGrabber.h"

namespace q60 {
namespace {

void deliver(const WindowMessage& message) { mainWindowProc(fake::window(), message); }
void command(int id) { deliver({MessageKind::Command, id}); }

// text against a pattern in which '#' stands for any digit.
bool matchesDigits(const std::string& text, const std::string& pattern)
{
    return std::ranges::equal(text, pattern, [](char c, char p) { return p == '#' ? c >= '0' && c <= '9' : c == p; });
}

std::vector<uint8_t> txFrameNow()
{
    std::vector<uint8_t> frame(txFrameBytes);
    for (int k = 0; k < txFrameBytes; ++k)
        frame[k] = TxFrame[k].load(std::memory_order_relaxed);
    return frame;
}

int spread(const std::vector<uint8_t>& pixels)
{
    const auto [low, high] = std::minmax_element(pixels.begin(), pixels.end());
    return *high - *low;
}

std::vector<uint8_t> paintedNow()
{
    std::vector<uint8_t> grey(rxPictureWidth * paintedPictureHeight);
    paintRxPictureGrey(grey.data(), 2);
    return grey;
}

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override { fake::setWindowProc(mainWindowProc); }

    // Frames of the test ramp's tone, then silence, straight into the receive chain.
    static void receiveRampThenSilence(int frames, int silentSamples)
    {
        restoreDefaultFilters();
        std::vector<uint8_t> tone(synthBufferBytes);
        synthBuffer = tone.data();
        testPicture = true;
        for (int k = 0; k < frames; ++k)
            receiveBytes(tone.data(), modulateFrame());
        const std::vector<uint8_t> silence(silentSamples, sampleCentre);
        receiveBytes(silence.data(), silence.size());
        synthBuffer = nullptr;
    }

    test::ScratchDirectory scratch;
};

TEST_F(PicturesTest, WindowShowsTheLivePictureUntilAFrameSyncThenHoldsTheCompleteOneMarked)
{
    fake::setStationFile({{"pictures/window", "true"}});
    deliver({MessageKind::InitDialog});
    EXPECT_TRUE(fake::pictureWindowShown());
    std::fill(RxPicture, RxPicture + rxPictureBytes, uint8_t{77});
    RxPicture[0] = 200;  // bottom row, first pixel: painted on the last two rows
    deliver({MessageKind::Timer, rxTimerId});
    fake::ShownPicture shown = fake::pictureWindowPicture();
    EXPECT_EQ(shown.pixels, paintedNow());
    EXPECT_EQ(shown.height, paintedPictureHeight);
    EXPECT_EQ(shown.pixels[rxPictureWidth * (paintedPictureHeight - 2)], 200);

    // Two seconds of silence after the ramp: the flywheel greys the RxPicture out.
    receiveRampThenSilence(6, 2 * sampleRate);
    ASSERT_GT(frameSyncCount, 0U);
    shown = fake::pictureWindowPicture();
    EXPECT_GT(spread(shown.pixels), 150);
    EXPECT_LT(spread(paintedNow()), 30);
    EXPECT_EQ(shown.mark, "");

    std::this_thread::sleep_for(std::chrono::milliseconds(pictureHoldMs + 100));
    deliver({MessageKind::Timer, rxTimerId});
    shown = fake::pictureWindowPicture();
    EXPECT_GT(spread(shown.pixels), 150);
    EXPECT_TRUE(matchesDigits(shown.mark, "held, ####-##-## ##:##:## UTC")) << shown.mark;
    EXPECT_EQ(fake::pictureWindowTxPicture().width, pixelsPerLine);
}

TEST_F(PicturesTest, PictureWindowIsRememberedInTheStationFile)
{
    fake::setStationFile({{"audio/output", "radio"}});
    deliver({MessageKind::InitDialog});
    EXPECT_FALSE(fake::pictureWindowShown());
    command(cmdPictureWindow);
    EXPECT_TRUE(fake::pictureWindowShown());
    EXPECT_EQ(fake::stationFile().at("pictures/window"), "true");
    command(cmdPictureWindow);  // as closing the window sends it
    EXPECT_FALSE(fake::pictureWindowShown());
    EXPECT_EQ(fake::stationFile().at("pictures/window"), "false");
    EXPECT_EQ(fake::stationFile().at("audio/output"), "radio");
}

TEST_F(PicturesTest, SaveNamesTheFileByUtcTimeInThePicturesFolderAndSaysWhyItFailed)
{
    deliver({MessageKind::InitDialog});
    receiveRampThenSilence(6, sampleRate);
    command(cmdSavePicture);
    ASSERT_EQ(fake::savedPictures().size(), 1U);
    const fake::SavedPicture saved = fake::savedPictures().back();
    EXPECT_EQ(saved.folder, "/home/op/Pictures/Quorrel 60line");
    EXPECT_TRUE(matchesDigits(saved.name, "20######-######Z.png")) << saved.name;
    EXPECT_EQ(saved.picture.width, rxPictureWidth);
    EXPECT_EQ(saved.picture.height, paintedPictureHeight);
    EXPECT_GT(spread(saved.picture.pixels), 150);

    fake::setStationFile({{"pictures/folder", "/srv/pictures"}});
    deliver({MessageKind::InitDialog});
    fake::failPictureSaves(true);
    command(cmdSavePicture);
    EXPECT_EQ(fake::callLog().back(), "showMessage Cannot save the picture in \"/srv/pictures\": Permission denied");
}

// A camera frame goes through the grabber; a file that is not a picture leaves the
// source and the TxFrame as they were; the choice is kept for the next start.
TEST_F(PicturesTest, PictureFileBecomesTheTxFrameAndIsKeptAsTheSource)
{
    std::vector<uint8_t> camera(cameraFrameBytes);
    for (int k = 0; k < cameraFrameBytes; ++k)
        camera[k] = static_cast<uint8_t>(k * 7);
    reduceFrame(camera.data());
    const std::vector<uint8_t> reduced = txFrameNow();
    setTxFrame(std::vector<uint8_t>(txFrameBytes, 0).data(), txFrameBytes);
    fake::addPictureFile("/pics/wide.jpg", false, camera);
    fake::addPictureFile("/pics/grey.pgm", true, std::vector<uint8_t>(txFrameBytes, 99));
    deliver({MessageKind::InitDialog});

    fake::answerPictureFileDialog("/pics/wide.jpg");
    command(cmdSendPictureFile);
    EXPECT_EQ(txFrameNow(), reduced);
    EXPECT_TRUE(pictureFileSent());
    EXPECT_EQ(fake::stationFile().at("tx/source"), "picture");
    EXPECT_EQ(fake::stationFile().at("tx/picture"), "/pics/wide.jpg");

    fake::dropFile("/pics/notes.txt");
    command(cmdPictureDropped);
    EXPECT_EQ(fake::callLog().back(), "showMessage Cannot send \"/pics/notes.txt\": Unsupported image format");
    EXPECT_EQ(txFrameNow(), reduced);
    EXPECT_EQ(fake::stationFile().at("tx/picture"), "/pics/wide.jpg");

    fake::setStationFile({{"tx/source", "picture"}, {"tx/picture", "/pics/grey.pgm"}});
    deliver({MessageKind::InitDialog});
    EXPECT_EQ(txFrameNow(), std::vector<uint8_t>(txFrameBytes, 99));
    command(cmdSendCamera);
    EXPECT_FALSE(pictureFileSent());
    EXPECT_EQ(fake::stationFile().at("tx/source"), "camera");
}

// The box's corner pixel (line 1, first pixel after the line sync) shows the overlay.
TEST_F(PicturesTest, CallSignIsSetInTheProgramAndRidesOnThePictureWhenAskedFor)
{
    fake::setStationFile({{"tx/callOverlay", "true"}});
    deliver({MessageKind::InitDialog});
    EXPECT_EQ(callOverlayGrey(1, lineSyncPixels), 0);

    fake::answerCallSignDialog(true, "DL1 ABC");
    command(cmdCallSign);
    EXPECT_EQ(fake::callLog().back(), "showMessage \"DL1 ABC\" is not a call sign: 1 to 11 characters, no spaces.");
    EXPECT_STREQ(Call, "NOCALL");
    fake::answerCallSignDialog(true, "DL1ABC/P");
    command(cmdCallSign);
    EXPECT_STREQ(Call, "DL1ABC/P");

    command(cmdCallOverlay);
    EXPECT_EQ(callOverlayGrey(1, lineSyncPixels), -1);
    EXPECT_EQ(fake::stationFile().at("tx/callOverlay"), "false");
}

// Every complete picture is saved while recording, an unchanged one once; a folder
// that fails stops the recording at the next tick, with the folder named.
TEST_F(PicturesTest, RecordingSavesEachNewCompletePictureAndStopsWhenTheFolderFails)
{
    fake::setStationFile({{"pictures/record", "true"}, {"pictures/folder", "/srv/pictures"}});
    deliver({MessageKind::InitDialog});
    const uint32_t syncsBefore = frameSyncCount;
    receiveRampThenSilence(100, sampleRate);  // the line phase settles: pictures repeat
    const std::vector<fake::SavedPicture> saved = fake::savedPictures();
    ASSERT_GE(saved.size(), 1U);
    EXPECT_LT(saved.size(), (frameSyncCount - syncsBefore) / 2);
    for (size_t k = 1; k < saved.size(); ++k) {
        EXPECT_NE(saved[k].picture.pixels, saved[k - 1].picture.pixels);
        EXPECT_NE(saved[k].name, saved[k - 1].name);
    }

    fake::failPictureSaves(true);
    receiveRampThenSilence(2, 0);
    deliver({MessageKind::Timer, rxTimerId});
    EXPECT_EQ(fake::callLog().back(), "showMessage Cannot save the picture in \"/srv/pictures\": Permission denied");
    EXPECT_EQ(fake::stationFile().at("pictures/record"), "false");
}

// Record Audio keeps exactly the bytes each drain hands on, across the capture ring's
// wrap, in one file a reception; a disk that fills stops it with the file named.
TEST_F(PicturesTest, RecordAudioKeepsTheDrainedBytesAndStopsWhenTheDiskFills)
{
    fake::setStationFile({{"pictures/recordAudio", "true"}, {"pictures/folder", "/srv/pictures"}});
    deliver({MessageKind::InitDialog});
    command(idRxButton);
    std::vector<uint8_t> heard(recordBufferBytes + 500);
    for (size_t k = 0; k < heard.size(); ++k)
        heard[k] = static_cast<uint8_t>(k % 251);
    const std::vector<uint8_t> first(heard.begin(), heard.begin() + recordBufferBytes - 500);
    const std::vector<uint8_t> wrapping(heard.begin() + first.size(), heard.end());
    fake::capture(0, first);
    deliver({MessageKind::Timer, rxTimerId});
    fake::capture(static_cast<uint32_t>(first.size()), wrapping);
    deliver({MessageKind::Timer, rxTimerId});
    ASSERT_EQ(fake::recordedAudio().size(), 1U);
    EXPECT_EQ(fake::recordedAudio()[0].folder, "/srv/pictures");
    EXPECT_TRUE(matchesDigits(fake::recordedAudio()[0].name, "########-######Z.wav"));
    EXPECT_EQ(fake::recordedAudio()[0].bytes, heard);

    fake::fillAudioDiskAfter(10);
    fake::capture(500, std::vector<uint8_t>(100, sampleCentre));
    deliver({MessageKind::Timer, rxTimerId});
    EXPECT_EQ(fake::callLog().back(), "showMessage Cannot record audio in \"/srv/pictures/" +
                                          fake::recordedAudio()[0].name + "\": No space left on device");
    EXPECT_FALSE(fake::recordedAudio()[0].running);
    EXPECT_EQ(fake::stationFile().at("pictures/recordAudio"), "false");
    fake::capture(600, std::vector<uint8_t>(100, sampleCentre));
    deliver({MessageKind::Timer, rxTimerId});
    EXPECT_EQ(fake::recordedAudio().size(), 1U) << "stopped, not started again";
}

// RX off ends the file at the next tick; RX on again within the same second starts
// another beside it rather than replacing it; closing the window ends the last one at
// once.
TEST_F(PicturesTest, RecordAudioStartsANewFileAtEachRxOn)
{
    fake::setStationFile({{"pictures/recordAudio", "true"}, {"pictures/folder", "/srv/pictures"}});
    deliver({MessageKind::InitDialog});
    for (int round = 0; round < 2; ++round) {
        command(idRxButton);
        fake::capture(0, std::vector<uint8_t>(100, sampleCentre));
        deliver({MessageKind::Timer, rxTimerId});
        command(idRxButton);
        deliver({MessageKind::Timer, rxTimerId});
    }
    ASSERT_EQ(fake::recordedAudio().size(), 2U);
    EXPECT_FALSE(fake::recordedAudio()[1].running);
    EXPECT_NE(fake::recordedAudio()[0].name, fake::recordedAudio()[1].name);
    command(idRxButton);
    fake::capture(0, std::vector<uint8_t>(100, sampleCentre));
    deliver({MessageKind::Timer, rxTimerId});
    deliver({MessageKind::Destroy});
    ASSERT_EQ(fake::recordedAudio().size(), 3U);
    EXPECT_FALSE(fake::recordedAudio()[2].running);
}

}  // namespace
}  // namespace q60
