// SPDX-License-Identifier: GPL-3.0-or-later
// The frame grabber as the capture window calls it: which frames change the TxFrame,
// how a 160x120 colour frame becomes 80x60 grey, and the caption for a wrong size.
#include "video/FrameGrabber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/CameraCommands.h"
#include "app/MainDialog.h"
#include "platform/fake/FakePlatform.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using Frame = std::vector<uint8_t>;
using Log = std::vector<std::string>;
const std::string warning = "setCaption Set Capture to 160 * 120, 24bit color";

// A 160x120 frame whose pixel at memory row r, column c has these blue, green, red bytes.
Frame frameOf(const std::function<std::array<uint8_t, 3>(int r, int c)>& pixel)
{
    Frame frame(cameraFrameBytes);
    for (int r = 0; r < cameraHeight; ++r)
        for (int c = 0; c < cameraWidth; ++c) {
            std::array<uint8_t, 3> bgr = pixel(r, c);
            std::copy(bgr.begin(), bgr.end(), frame.begin() + 3 * (r * cameraWidth + c));
        }
    return frame;
}

Frame uniform(uint8_t blue, uint8_t green, uint8_t red)
{
    return frameOf([=](int, int) { return std::array<uint8_t, 3>{blue, green, red}; });
}

int grab(const Frame& frame) { return frameCallback(nullptr, CaptureFrame{frame.data(), static_cast<uint32_t>(frame.size())}); }

std::vector<int> txFrame()
{
    std::vector<int> bytes(txFrameBytes);
    for (int k = 0; k < txFrameBytes; ++k)
        bytes[k] = TxFrame[k].load();
    return bytes;
}

std::vector<int> all(int value) { return std::vector<int>(txFrameBytes, value); }

class FrameGrabberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainWindow = fake::window();
        txActive = true;
        std::vector<uint8_t> marker(txFrameBytes, 77);
        setTxFrame(marker.data(), marker.size());
        fake::callLog().clear();
    }
};

TEST_F(FrameGrabberTest, GreyIsTheColourSumDividedByThreeWithTheRemainderDropped)
{
    EXPECT_EQ(grab(uniform(255, 255, 255)), 1);
    EXPECT_EQ(txFrame(), all(255));
    grab(uniform(255, 255, 254));
    EXPECT_EQ(txFrame(), all(254));
    grab(uniform(1, 1, 0));
    EXPECT_EQ(txFrame(), all(0));
    grab(uniform(0, 0, 200));
    EXPECT_EQ(txFrame(), all(66));
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(FrameGrabberTest, OnlyEvenRowsAndEvenColumnsReachTheTxFrame)
{
    grab(frameOf([](int r, int c) {
        uint8_t v = r % 2 == 0 && c % 2 == 0 ? 0 : 255;
        return std::array<uint8_t, 3>{v, v, v};
    }));
    EXPECT_EQ(txFrame(), all(0));
}

TEST_F(FrameGrabberTest, MemoryRowRColumnCLandsAtHalfTheirValuesInMemoryOrder)
{
    for (auto [r, c] : {std::pair{0, 0}, {0, 158}, {118, 0}, {118, 158}, {64, 38}}) {
        Frame frame = uniform(0, 0, 0);
        frame[3 * (r * cameraWidth + c) + 1] = 255;  // green alone: 255 / 3
        grab(frame);
        std::vector<int> expected = all(0);
        expected[c / 2 + pixelsPerLine * (r / 2)] = 85;
        EXPECT_EQ(txFrame(), expected) << "row " << r << " column " << c;
    }
    for (auto [r, c] : {std::pair{1, 0}, {0, 1}, {119, 159}}) {
        Frame frame = uniform(0, 0, 0);
        frame[3 * (r * cameraWidth + c)] = 255;
        grab(frame);
        EXPECT_EQ(txFrame(), all(0)) << "row " << r << " column " << c;
    }
}

TEST_F(FrameGrabberTest, AFrameOfAnotherSizeAsksForTheFormatAndLeavesTheTxFrame)
{
    Frame large(3 * 320 * 240, 255);
    EXPECT_EQ(grab(large), 1);
    Frame oneByteShort(cameraFrameBytes - 1, 255);
    EXPECT_EQ(grab(oneByteShort), 1);
    EXPECT_EQ(frameCallback(nullptr, CaptureFrame{nullptr, 0}), 1);
    EXPECT_EQ(fake::callLog(), (Log{warning, warning, warning}));
    EXPECT_EQ(txFrame(), all(77));

    txActive = false;
    fake::callLog().clear();
    grab(large);
    EXPECT_EQ(fake::callLog(), Log{warning});
}

TEST_F(FrameGrabberTest, WhileNotTransmittingARightFrameChangesNothing)
{
    txActive = false;
    EXPECT_EQ(grab(uniform(255, 255, 255)), 1);
    EXPECT_EQ(txFrame(), all(77));
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(FrameGrabberTest, BeforeTheMainWindowIsKnownFramesAreRefusedUntouched)
{
    mainWindow = nullptr;
    EXPECT_EQ(grab(uniform(255, 255, 255)), 0);
    EXPECT_EQ(grab(Frame(3 * 320 * 240)), 0);
    EXPECT_EQ(txFrame(), all(77));
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST(SamplePixelTest, ReadsBlueGreenRedAtItsOffsetAndZerosOutsideTheFrame)
{
    Frame frame(cameraFrameBytes, 0);
    int offset = 3 * (119 * cameraWidth + 159);
    frame[offset] = 10;
    frame[offset + 1] = 20;
    frame[offset + 2] = 30;
    PixelSample inside = samplePixel(frame.data(), 159, 119);
    EXPECT_EQ(inside.sum, 60);
    EXPECT_EQ(inside.red, 30);
    EXPECT_EQ(inside.green, 20);
    EXPECT_EQ(inside.blue, 10);
    Frame white(cameraFrameBytes, 255);
    for (auto [x, y] : {std::pair{-1, 0}, {160, 0}, {0, -1}, {0, 120}}) {
        PixelSample outside = samplePixel(white.data(), x, y);
        EXPECT_EQ(outside.sum + outside.red + outside.green + outside.blue, 0) << x << "," << y;
    }
}

}  // namespace
}  // namespace q60
