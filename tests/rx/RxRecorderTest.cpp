// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver on the fake capture device: start and stop through the RX button,
// the drain of the looping capture buffer on every tick, and the level bar.
#include "rx/RxRecorder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/RxCommands.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakePlatform.h"
#include "rx/FilterBank.h"
#include "rx/FmDemodulator.h"
#include "rx/PictureAssembler.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using Log = std::vector<std::string>;

const std::string startFailed = "showMessage directsound start record failed";
const Log started{"openCaptureDevice", "createCaptureBuffer 22050 11025", "startCapture"};
const Log stopped{"stopCapture", "releaseCaptureDevice"};

// The calls logged since the last look, without the picture's repaints: bytes that
// reach the chain may restart the picture, which repaints on its own account.
Log takeCalls()
{
    Log calls;
    for (const std::string& call : fake::callLog())
        if (call.rfind("repaintNow", 0) != 0)
            calls.push_back(call);
    fake::callLog().clear();
    return calls;
}

Log operator+(Log a, const Log& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void press() { onRxButton(fake::window()); }
void tick() { rxTimerTick(fake::window()); }

// Reception on and the start's calls taken: the fake capture buffer exists from here.
void startReceiving()
{
    press();
    ASSERT_TRUE(rxActive);
    takeCalls();
}

std::vector<uint8_t> silence(size_t count) { return std::vector<uint8_t>(count, 128); }

TEST(RxRecorderTest, RxTwiceStartsAndStopsAndTicksWhileOffTouchNothing)
{
    tick();
    EXPECT_EQ(takeCalls(), Log{}) << "no drain and no level before the first start";

    press();
    ASSERT_TRUE(rxActive);
    EXPECT_EQ(takeCalls(), started);
    fake::capture(0, silence(3000));
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 0 3000", "unlockCaptureBuffer 3000 0",
                                "setLevelBar 0"}));

    press();
    EXPECT_FALSE(rxActive);
    EXPECT_EQ(takeCalls(), stopped);
    fake::capture(3000, silence(500));
    tick();
    tick();
    EXPECT_EQ(takeCalls(), Log{}) << "ticks while off leave the capture buffer and the bar alone";

    // The read position stays at 3500 in the fake; a new start reads from 0 again.
    press();
    EXPECT_TRUE(rxActive);
    EXPECT_EQ(takeCalls(), started);
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 0 3500", "unlockCaptureBuffer 3500 0",
                                "setLevelBar 0"}));
}

// The failing step stays failing in the fake, so the second press must fail the same
// way: a press after a failure starts again rather than stopping.
void expectEveryPressToFail(fake::CaptureStep step, const Log& calls)
{
    fake::failCaptureStep(step);
    lowPass23 = 0;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        press();
        EXPECT_FALSE(rxActive) << "attempt " << attempt;
        EXPECT_EQ(takeCalls(), calls + Log{startFailed}) << "attempt " << attempt;
        tick();
        EXPECT_EQ(takeCalls(), Log{}) << "attempt " << attempt;
    }
    EXPECT_EQ(lowPass23, 0) << "the filters are restored only by a start that succeeds";
}

TEST(RxRecorderTest, NoCaptureDeviceSaysSoAndTheNextPressTriesAgain)
{
    expectEveryPressToFail(fake::CaptureStep::Open, {"openCaptureDevice"});
}

TEST(RxRecorderTest, FailedBufferReleasesTheDeviceAndTheNextPressTriesAgain)
{
    expectEveryPressToFail(fake::CaptureStep::CreateBuffer,
                           {"openCaptureDevice", "createCaptureBuffer 22050 11025", "releaseCaptureDevice"});
}

TEST(RxRecorderTest, FailedStartReleasesTheDeviceAndTheNextPressTriesAgain)
{
    expectEveryPressToFail(fake::CaptureStep::Start, started + Log{"releaseCaptureDevice"});
}

TEST(RxRecorderTest, CoefficientsLoadedWhileOffAreReplacedAtStartThoseLoadedWhileOnStay)
{
    test::ScratchDirectory scratch;
    // 32 numbers: the long high-pass takes them all, the other sets the first 16.
    std::string numbers;
    for (int k = 1; k <= 32; ++k)
        numbers += std::to_string(k) + " ";
    test::writeFile("coeff.txt", numbers);
    const uint32_t defaultLowPass0 = 0xb7fe9525U;
    const uint32_t defaultHighPass0 = 0x377e5f38U;

    ASSERT_EQ(loadCoefficientFile("coeff.txt", CoefficientSet::LowPass), 1);
    ASSERT_EQ(loadCoefficientFile("coeff.txt", CoefficientSet::HighPass63), 1);
    press();
    ASSERT_TRUE(rxActive);
    EXPECT_EQ(lowPass23, 1);
    EXPECT_EQ(highPass63, 0);
    EXPECT_EQ(std::bit_cast<uint32_t>(lowPassCoeffs[0]), defaultLowPass0);
    EXPECT_EQ(std::bit_cast<uint32_t>(highPassCoeffs[0]), defaultHighPass0);

    ASSERT_EQ(loadCoefficientFile("coeff.txt", CoefficientSet::HighPass), 1);
    fake::capture(0, silence(1000));
    tick();
    tick();
    press();
    EXPECT_EQ(highPass23, 0) << "ticks and the stop keep a set loaded while on";
    EXPECT_EQ(highPassCoeffs[0], 1.0F);
    press();
    EXPECT_EQ(highPass23, 1) << "until the next start";
    EXPECT_EQ(std::bit_cast<uint32_t>(highPassCoeffs[0]), defaultHighPass0);
}

// A peak decays by 0.01 per sample, its own included, so the levels tell how many
// samples reached the chain after it.
TEST(RxRecorderTest, WrappedSpanIsLockedFromTheOldOffsetAndHandedOnInCaptureOrder)
{
    ASSERT_NO_FATAL_FAILURE(startReceiving());
    fake::capture(0, silence(21000));
    tick();
    takeCalls();

    auto bytes = silence(2050);
    bytes[0] = 255;   // at 21000, the first byte of the first region
    bytes[1050] = 0;  // at 0, the first byte of the second region
    fake::capture(21000, bytes);
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 21000 2050", "unlockCaptureBuffer 1050 1000",
                                "setLevelBar 106"}));
    EXPECT_NEAR(levelHigh, 127 - 20.50, 0.01) << "the 255 came 2050 samples ago";
    EXPECT_NEAR(levelLow, -128 + 10.00, 0.01) << "the 0 came 1000 samples ago";

    fake::capture(1000, silence(10));
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 1000 10", "unlockCaptureBuffer 10 0",
                                "setLevelBar 106"}));
}

TEST(RxRecorderTest, BytesReachTheChainLessOneHundredAndTwentyEight)
{
    ASSERT_NO_FATAL_FAILURE(startReceiving());
    fake::capture(0, {0, 128, 255});
    drainCapture();
    // Each extreme is taken as it comes, then both drift 0.01 per sample towards zero.
    EXPECT_NEAR(levelHigh, 127 - 0.01, 1e-4);
    EXPECT_NEAR(levelLow, -128 + 0.03, 1e-4);
}

TEST(RxRecorderTest, EqualPositionsHandNothingOnAndKeepTheOffset)
{
    ASSERT_NO_FATAL_FAILURE(startReceiving());
    fake::capture(0, silence(700));
    tick();
    levelHigh = 50.0F;
    levelLow = -50.0F;
    takeCalls();
    tick();
    EXPECT_EQ(levelHigh, 50.0F) << "no sample reached the chain";
    EXPECT_EQ(levelLow, -50.0F);
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 700 0", "unlockCaptureBuffer 0 0",
                                "setLevelBar 50"}));
}

// The bar follows the levels even when the drain gave up; the bytes wait in the buffer.
TEST(RxRecorderTest, FailedQueryOrLockKeepsTheBytesForTheNextTick)
{
    ASSERT_NO_FATAL_FAILURE(startReceiving());
    auto first = silence(1000);
    first[0] = 255;
    fake::capture(0, first);
    fake::failCapturePositions(1);
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "setLevelBar 0"}));

    fake::capture(1000, silence(550));
    fake::failCaptureLocks(1);
    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 0 1550", "setLevelBar 0"}));
    EXPECT_EQ(levelHigh, 0.0F) << "nothing reached the chain yet";

    tick();
    EXPECT_EQ(takeCalls(), (Log{"capturePosition", "lockCaptureBuffer 0 1550", "unlockCaptureBuffer 1550 0",
                                "setLevelBar 111"}));
    EXPECT_NEAR(levelHigh, 127 - 15.50, 0.01) << "the 255 at offset 0 came first";
}

// Only the low peak is divided, in double, and the result truncated toward zero; the
// bar gets the value unclamped (the fake logs it before the control clamps).
TEST(RxRecorderTest, LevelBarShowsHighPeakLessLowPeakOver255Truncated)
{
    struct Levels {
        float high;
        float low;
        int bar;
    };
    const Levels cases[] = {
        {60.0F, -60.0F, 60},
        {-0.5F, -0.3F, 0},
        {120.0F, -120.0F, 120},
        {-1.5F, 0.0F, -1},
        // 59.99999994: float arithmetic would round it up to 60.
        {59.0F, std::nextafter(-255.0F, 0.0F), 59},
    };
    ASSERT_NO_FATAL_FAILURE(startReceiving());
    for (const Levels& levels : cases) {
        levelHigh = levels.high;
        levelLow = levels.low;
        takeCalls();
        tick();  // nothing captured: the levels stay as set
        EXPECT_EQ(takeCalls().back(), "setLevelBar " + std::to_string(levels.bar))
            << levels.high << " / " << levels.low;
    }
}

// The grey ramp, sent without a break, arriving half a second per tick.
TEST(RxRecorderTest, TestRampCapturedTickByTickHoldsTheLevelBarAndComesBackAsAPicture)
{
    constexpr uint32_t bytesPerTick = 5512;
    testPicture = true;
    std::vector<uint8_t> synthMemory(synthBufferBytes);
    synthBuffer = synthMemory.data();
    std::vector<uint8_t> tone;
    for (int frame = 0; frame < 100; ++frame) {
        const int length = modulateFrame();
        tone.insert(tone.end(), synthMemory.begin(), synthMemory.begin() + length);
    }

    ASSERT_NO_FATAL_FAILURE(startReceiving());
    uint32_t offset = 0;
    int ticks = 0;
    for (size_t sent = 0; sent + bytesPerTick <= tone.size(); sent += bytesPerTick) {
        fake::capture(offset, {tone.begin() + sent, tone.begin() + sent + bytesPerTick});
        offset = (offset + bytesPerTick) % recordBufferBytes;
        tick();
        const Log calls = takeCalls();
        ASSERT_EQ(calls.size(), 4U) << "tick " << ticks;
        const int bar = std::stoi(calls.back().substr(12));
        // The tone's peaks, decayed by how long ago the last one came: measured 78 to 79.
        ASSERT_GE(bar, 78) << "tick " << ticks;
        ASSERT_LE(bar, 79) << "tick " << ticks;
        ++ticks;
    }

    // The ramp rises across every row; the line sync is the dark start of the row.
    for (int row = 1; row < rxPictureRows; ++row) {
        const uint8_t* line = RxPicture + rxPictureRowBytes * row;
        EXPECT_LT(line[3 * 4], 15) << "row " << row;
        EXPECT_GT(line[3 * 150], line[3 * 40] + 100) << "row " << row;
    }
}

}  // namespace
}  // namespace q60
