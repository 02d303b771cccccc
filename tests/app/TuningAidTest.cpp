// SPDX-License-Identifier: GPL-3.0-or-later
// Station > Tuning Aid on the fake platform: shown as "station.ini" remembers, and
// fed at each tick with what the receiver drained.
#include "app/TuningAid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeStationFile.h"
#include "platform/fake/FakeTuningWindow.h"
#include "tx/ToneFormat.h"

namespace q60 {
namespace {

void deliver(const WindowMessage& message) { mainWindowProc(fake::window(), message); }
void command(int id) { deliver({MessageKind::Command, id}); }
void tick() { deliver({MessageKind::Timer, rxTimerId}); }

std::vector<uint8_t> tone(double hz, double amplitude, size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t n = 0; n < count; ++n)
        bytes[n] = static_cast<uint8_t>(std::clamp(
            std::lround(sampleCentre + amplitude * std::sin(2.0 * std::numbers::pi * hz * n / sampleRate)), 0L, 255L));
    return bytes;
}

int peakHz(const TuningPicture& picture)
{
    const auto peak = std::max_element(picture.levelsDb.begin(), picture.levelsDb.end());
    return picture.lowHz + picture.stepHz * static_cast<int>(peak - picture.levelsDb.begin());
}

class TuningAidTest : public ::testing::Test {
protected:
    void SetUp() override { fake::setWindowProc(mainWindowProc); }
};

TEST_F(TuningAidTest, ShownAtStartWhenStoredOnAndRememberedWhenClosed)
{
    fake::setStationFile({{"tuning/window", "true"}, {"pictures/window", "false"}});
    deliver({MessageKind::InitDialog});
    EXPECT_TRUE(fake::tuningWindowShown());
    const std::string checked = "checkMenuItem " + std::to_string(cmdTuningAid) + " 1";
    EXPECT_NE(std::ranges::find(fake::callLog(), checked), fake::callLog().end());

    command(cmdTuningAid);  // as closing the window sends it
    EXPECT_FALSE(fake::tuningWindowShown());
    EXPECT_EQ(fake::stationFile().at("tuning/window"), "false");
    EXPECT_EQ(fake::stationFile().at("pictures/window"), "false");

    fake::setStationFile({});
    deliver({MessageKind::InitDialog});
    EXPECT_FALSE(fake::tuningWindowShown());
    command(cmdTuningAid);
    EXPECT_TRUE(fake::tuningWindowShown());
    EXPECT_EQ(fake::stationFile().at("tuning/window"), "true");
}

// The drain's bytes reach the window: the sync tone 100 Hz high stands 100 Hz right
// of its mark, and the level follows the input.
TEST_F(TuningAidTest, EachTickShowsWhatTheReceiverDrainedSinceTheLast)
{
    fake::setStationFile({{"tuning/window", "true"}});
    deliver({MessageKind::InitDialog});
    tick();
    EXPECT_EQ(fake::tuningWindowPicture().levelText, "RX off");
    command(idRxButton);
    ASSERT_TRUE(rxActive);

    fake::capture(0, tone(1300, 80.0, sampleRate / 2));
    tick();
    TuningPicture shown = fake::tuningWindowPicture();
    EXPECT_EQ(shown.marksHz, (std::vector<int>{1200, 1500, 2300}));
    EXPECT_EQ(peakHz(shown), 1300);
    EXPECT_EQ(shown.levelText, "input 63 %");
    EXPECT_FALSE(shown.warn);

    fake::capture(sampleRate / 2, tone(1200, 5.0, sampleRate / 2));
    tick();
    shown = fake::tuningWindowPicture();
    EXPECT_EQ(peakHz(shown), 1200);
    EXPECT_EQ(shown.levelText, "input 4 % too low");
    EXPECT_TRUE(shown.warn);

    fake::capture(sampleRate, tone(1900, 128.0, sampleRate / 2));
    tick();
    EXPECT_EQ(fake::tuningWindowPicture().levelText, "input 100 % CLIPPING");
    tick();
    EXPECT_EQ(fake::tuningWindowPicture().levelText, "no input");
}

}  // namespace
}  // namespace q60
