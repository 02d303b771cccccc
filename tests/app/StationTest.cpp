// SPDX-License-Identifier: GPL-3.0-or-later
// The station's [audio] settings, the Station menu, a chosen device lost in use and
// the holes on the level bar's tip, through the dispatcher on the fake platform.
#include "app/Station.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/PttSettings.h"
#include "app/ReceiverSettings.h"
#include "app/Resources.h"
#include "platform/SoundChoice.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakePictureWindow.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeStationFile.h"
#include "platform/fake/FakeStationWindow.h"
#include "rx/ClockCorrection.h"
#include "rx/FrameIntegrator.h"
#include "rx/FrequencyControl.h"
#include "rx/PictureAssembler.h"
#include "tx/PttControl.h"
#include "tx/TxClock.h"
#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

using Log = std::vector<std::string>;

void deliver(const WindowMessage& message) { mainWindowProc(fake::window(), message); }
void command(int id) { deliver({MessageKind::Command, id}); }

class StationTest : public ::testing::Test {
protected:
    void SetUp() override { fake::setWindowProc(mainWindowProc); }

    // The choice at start from an [audio] group with these texts.
    static SoundChoice startWith(const std::string& output, const std::string& input, const std::string& level)
    {
        fake::setStationFile({{"audio/output", output}, {"audio/input", input}, {"audio/txLevelDb", level}});
        deliver({MessageKind::InitDialog});
        return chosenSoundDevices();
    }

    static double levelAtStart(const std::string& text) { return startWith("", "", text).txLevelDb; }

    // The receiver's choice from a "station.ini" of these entries.
    static ReceiverChoice receiverFrom(const StationEntries& entries)
    {
        fake::setStationFile(entries);
        readReceiverSettings();
        return chosenReceiver();
    }

    test::ScratchDirectory scratch;
};

TEST_F(StationTest, AudioGroupChoosesTheDevicesAndTheLevelHeldToItsRange)
{
    const SoundChoice choice = startWith("radio", "radio.monitor", "-12.5");
    EXPECT_EQ(choice.output, "radio");
    EXPECT_EQ(choice.input, "radio.monitor");
    EXPECT_EQ(choice.txLevelDb, -12.5);
    EXPECT_EQ(levelAtStart("-41"), -40.0);
    EXPECT_EQ(levelAtStart("3"), 0.0);
    EXPECT_EQ(levelAtStart("loud"), 0.0);
    EXPECT_EQ(levelAtStart("nan"), 0.0);
    EXPECT_EQ(levelAtStart(""), 0.0);
    const std::vector<std::string> menus = fake::appendedMenus();
    EXPECT_TRUE(std::ranges::any_of(menus, [](const std::string& menu) {
        return menu.starts_with("&Station | 40101 Sound &Devices... | 40110 &Push-to-Talk... | 40120 R&eceiver... | ");
    }));
}

TEST_F(StationTest, DialogOkWritesTheAudioGroupAndKeepsOtherKeysCancelChangesNothing)
{
    fake::setStationFile({{"ptt/line", "rts"}});
    deliver({MessageKind::InitDialog});
    fake::answerSoundDevicesDialog(false, SoundChoice{"x", "y", -1});
    command(cmdSoundDevices);
    EXPECT_EQ(chosenSoundDevices().output, "");
    EXPECT_EQ(fake::stationFile().size(), 1u);

    fake::answerSoundDevicesDialog(true, SoundChoice{"radio", "", -20});
    command(cmdSoundDevices);
    EXPECT_EQ(chosenSoundDevices().output, "radio");
    EXPECT_EQ(fake::stationFile(), (StationEntries{{"audio/input", ""},
                                                   {"audio/output", "radio"},
                                                   {"audio/txLevelDb", "-20"},
                                                   {"ptt/line", "rts"}}));
}

TEST_F(StationTest, ReceiverGroupsReadEachOptionAndABrokenValueIsItsDefault)
{
    const ReceiverChoice fixed = receiverFrom({{"rx/ppm", "-123.5"}, {"rx/fastLock", "true"}, {"tx/ppm", "40"},
                                               {"rx/afc", "true"}, {"rx/sturdySync", "true"}, {"rx/integrate", "16"}});
    EXPECT_EQ(fixed.clock, ClockMode::fixed);
    EXPECT_EQ(fixed.rxPpm, -123.5);
    EXPECT_TRUE(fixed.fastLock);
    EXPECT_EQ(fixed.txPpm, 40.0);
    EXPECT_TRUE(fixed.frequencyControl);
    EXPECT_TRUE(fixed.sturdySync);
    EXPECT_EQ(fixed.integrate, 16);
    EXPECT_EQ(receiverFrom({{"rx/ppm", "auto"}}).clock, ClockMode::automatic);
    EXPECT_EQ(receiverFrom({{"rx/ppm", "2000"}}).rxPpm, 2000.0);
    EXPECT_EQ(receiverFrom({{"rx/ppm", "+123.4"}}).rxPpm, 123.4) << "as the picture window shows it";
    for (const char* broken : {"", "0", "2000.1", "-1e9", "nan", "inf", "12 ppm", "Auto", "+-5", "+"}) {
        const ReceiverChoice choice = receiverFrom({{"rx/ppm", broken}, {"rx/fastLock", "1"}, {"tx/ppm", broken},
                                                    {"rx/afc", "yes"}, {"rx/sturdySync", "on"}, {"rx/integrate", broken}});
        EXPECT_EQ(choice.clock, ClockMode::off) << broken;
        EXPECT_EQ(choice.rxPpm, 0.0) << broken;
        EXPECT_FALSE(choice.fastLock);
        EXPECT_EQ(choice.txPpm, 0.0) << broken;
        EXPECT_FALSE(choice.frequencyControl || choice.sturdySync);
        EXPECT_EQ(choice.integrate, 1) << broken;
    }
    EXPECT_EQ(receiverFrom({{"rx/integrate", "17"}}).integrate, 1);
}

// RX on applies the stored options; OK while receiving writes them beside the other
// groups and applies them at once, and the picture window then shows what is measured.
TEST_F(StationTest, ReceiverDialogOkWritesRxAndTxAndAppliesThemWhileReceiving)
{
    fake::setStationFile({{"rx/ppm", "250"}, {"ptt/lines", "rts"}});
    deliver({MessageKind::InitDialog});
    command(idRxButton);
    EXPECT_EQ(clockCorrectionPpm(), 250.0);
    EXPECT_FALSE(fastLock);
    EXPECT_FALSE(frequencyControlActive());
    EXPECT_EQ(frameIntegration(), 1);
    fake::answerReceiverDialog(true, ReceiverChoice{ClockMode::automatic, 250.0, true, 12.5, 8, true, true});
    command(cmdReceiver);
    EXPECT_EQ(fake::stationFile(),
              (StationEntries{{"ptt/lines", "rts"}, {"rx/afc", "true"}, {"rx/fastLock", "true"}, {"rx/integrate", "8"},
                              {"rx/ppm", "auto"}, {"rx/sturdySync", "true"}, {"tx/ppm", "12.5"}}));
    EXPECT_TRUE(fastLock);
    EXPECT_TRUE(frequencyControlActive());
    EXPECT_TRUE(sturdySyncActive());
    EXPECT_EQ(frameIntegration(), 8);
    EXPECT_EQ(clockCorrectionPpm(), 0.0) << "automatic correction starts from none";
    const WindowMessage tick{MessageKind::Timer, rxTimerId};
    deliver(tick);
    EXPECT_EQ(fake::pictureWindowStatus(), "clock +0.0 ppm, offset +0.0 Hz");
    command(idRxButton);
    deliver(tick);
    EXPECT_EQ(fake::pictureWindowStatus(), "");
    command(idTxButton);
    EXPECT_EQ(txClockCorrectionPpm(), 12.5);
    command(idTxButton);
    fake::answerReceiverDialog(false, ReceiverChoice{});
    command(cmdReceiver);
    EXPECT_EQ(chosenReceiver().txPpm, 12.5) << "Cancel changes nothing";
}

// OK while transmitting on COM 1: the old lines are released and the port closed
// before the new choice opens it, and it keys again only because the tone runs.
TEST_F(StationTest, PttDialogOkWritesThePttGroupAndReopensThePortWithIt)
{
    test::writeFile("settings.txt", "1 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nX Call\n");
    fake::setStationFile({{"ptt/method", "vox"}, {"ptt/lines", "rts"}});
    deliver({MessageKind::InitDialog});
    EXPECT_EQ(chosenPtt().method, PttMethod::serial) << "an unknown method is the default";
    command(idTxButton);
    fake::callLog().clear();
    fake::answerPttDialog(true, PttChoice{.device = "/dev/ttyUSB1", .lines = PttLines::dtr, .inverted = true});
    command(cmdPushToTalk);
    EXPECT_EQ(fake::callLog(), (Log{"runPttDialog ", "setRts COM1 0", "closeSerialPort COM1", "writeStationFile station.ini",
                                    "openSerialPort /dev/ttyUSB1 rts - dtr 1", "disableLineControl /dev/ttyUSB1",
                                    "clearSerialErrors /dev/ttyUSB1", "setDtr /dev/ttyUSB1 1",
                                    "setDtr /dev/ttyUSB1 0", "checkMenuItem 40086 1", "checkMenuItem 40087 0",
                                    "checkMenuItem 40085 0"}));
    EXPECT_EQ(fake::stationFile(),
              (StationEntries{{"ptt/baud", "0"}, {"ptt/device", "/dev/ttyUSB1"}, {"ptt/inverted", "true"},
                              {"ptt/lines", "dtr"}, {"ptt/method", "serial"}, {"ptt/model", "0"}}));
    EXPECT_EQ(fake::statusLine(), "TX on   RX off   PTT keyed");
    EXPECT_EQ(fake::statusLineTip(), "DTR inverted on /dev/ttyUSB1");
    command(idTxButton);
}

// COM1 is the port, so the key's release shows as its two lines falling.
TEST_F(StationTest, OutputLostWhileTransmittingUnkeysFirstStopsAndSaysSo)
{
    test::writeFile("settings.txt", "1 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nX Call\n");
    deliver({MessageKind::InitDialog});
    command(idTxButton);
    fake::callLog().clear();
    deliver({MessageKind::SoundDeviceLost, soundOutputLost});
    EXPECT_FALSE(txActive);
    const Log& log = fake::callLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ((Log{log[0], log[1]}), (Log{"setRts COM1 0", "setDtr COM1 0"}));
    EXPECT_EQ(log.back(), "showMessage directsound init failed");
}

TEST_F(StationTest, InputLostWhileReceivingStopsItAndSaysSoAndIsIgnoredWhenOff)
{
    deliver({MessageKind::InitDialog});
    command(idRxButton);
    deliver({MessageKind::SoundDeviceLost, soundInputLost});
    EXPECT_FALSE(rxActive);
    EXPECT_EQ(fake::callLog().back(), "showMessage directsound start record failed");
    fake::callLog().clear();
    deliver({MessageKind::SoundDeviceLost, soundInputLost});
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(StationTest, TheLevelBarTipCountsTheHolesOfEachSideWhileItIsOn)
{
    deliver({MessageKind::InitDialog});
    const WindowMessage tick{MessageKind::Timer, rxTimerId};
    deliver(tick);
    EXPECT_EQ(fake::levelBarTip(), "TX: off\nRX: off");
    command(idRxButton);
    fake::setHoles(2, 1);
    deliver(tick);
    EXPECT_EQ(fake::levelBarTip(), "TX: off\nRX: 1 hole since on");
    command(idTxButton);
    deliver(tick);
    EXPECT_EQ(fake::levelBarTip(), "TX: 2 holes since on\nRX: 1 hole since on");
    command(idTxButton);
    command(idRxButton);
}

}  // namespace
}  // namespace q60
