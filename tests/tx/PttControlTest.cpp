// SPDX-License-Identifier: GPL-3.0-or-later
// Push-to-talk on the fake serial ports: opening, keying and closing, and the
// "TX Port" commands with their check marks.
#include "tx/PttControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "app/TxCommands.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeSerial.h"

namespace q60 {
namespace {

using Log = std::vector<std::string>;

// The calls that open a port with both lines down.
Log opened(const std::string& port)
{
    return {"openSerialPort " + port, "disableLineControl " + port, "clearSerialErrors " + port,
            "setRts " + port + " 0", "setDtr " + port + " 0"};
}

Log operator+(Log a, const Log& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PttControlTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        closePort();
        choosePtt(PttChoice{});
    }

    static void choose(int id) { portCommand(fake::window(), id); }

    static Log marks(int com1, int com2, int none)
    {
        return {"checkMenuItem 40086 " + std::to_string(com1), "checkMenuItem 40087 " + std::to_string(com2),
                "checkMenuItem 40085 " + std::to_string(none)};
    }
};

TEST_F(PttControlTest, WithoutAPortKeyingAndClosingDoNothing)
{
    setPtt(true);
    setPtt(false);
    closePort();
    EXPECT_TRUE(openPort("close"));
    EXPECT_EQ(fake::callLog(), Log{});
}

TEST_F(PttControlTest, OpeningClosesThePreviousPortAndStartsUnkeyedRtsBeforeDtr)
{
    EXPECT_TRUE(openPort("COM1"));
    setPtt(true);
    EXPECT_TRUE(openPort("COM2"));
    EXPECT_TRUE(openPort("close"));
    closePort();
    setPtt(true);
    EXPECT_EQ(fake::callLog(), (opened("COM1") + Log{"setRts COM1 1", "setDtr COM1 1", "setRts COM1 0", "setDtr COM1 0",
                                                     "closeSerialPort COM1"} +
                                opened("COM2") + Log{"closeSerialPort COM2"}));
}

TEST_F(PttControlTest, PortCommandsReopenRekeyWhileTransmittingAndMarkTheChoice)
{
    choose(cmdPortCom1);
    EXPECT_EQ(TX_Port, 1);
    EXPECT_EQ(fake::callLog(), opened("COM1") + marks(1, 0, 0));
    fake::callLog().clear();
    txActive = true;
    choose(cmdPortCom2);
    EXPECT_EQ(TX_Port, 2);
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM1 0", "setDtr COM1 0", "closeSerialPort COM1"} + opened("COM2") +
                                Log{"setRts COM2 1", "setDtr COM2 1"} + marks(0, 1, 0)));
    fake::callLog().clear();
    choose(cmdPortNone);
    EXPECT_EQ(TX_Port, 0);
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM2 0", "setDtr COM2 0", "closeSerialPort COM2"} + marks(0, 0, 1)));
    txActive = false;
}

TEST_F(PttControlTest, AMissingPortIsStillChosenAndMarkedAndDescribedAsAbsent)
{
    fake::removeSerialPort("COM2");
    choose(cmdPortCom1);
    fake::callLog().clear();
    txActive = true;
    choose(cmdPortCom2);  // keying after the failed open finds no port
    txActive = false;
    EXPECT_EQ(TX_Port, 2);
    EXPECT_FALSE(openPort("COM2"));
    describePorts(fake::window());
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM1 0", "setDtr COM1 0", "closeSerialPort COM1",
                                    "openSerialPort COM2 failed"} +
                                marks(0, 1, 0) +
                                Log{"openSerialPort COM2 failed", "setMenuItemTip 40086 /dev/fakeCOM1",
                                    "setMenuItemTip 40087 not present"}));
}

// One line, inverted, on a path of its own: the chosen line rests high from the moment
// of opening, falls to key, and the other line is never driven.
TEST_F(PttControlTest, AnInvertedSingleLineOnAPathRestsHighAndLeavesTheOtherAlone)
{
    choosePtt(PttChoice{.device = "/dev/ttyUSB1", .lines = PttLines::rts, .inverted = true});
    EXPECT_TRUE(openPort("COM1"));
    EXPECT_EQ(pttStatus().state, PttState::unkeyed);
    setPtt(true);
    EXPECT_EQ(pttStatus().state, PttState::keyed);
    closePort();
    choosePtt(PttChoice{.device = "", .lines = PttLines::dtr});
    EXPECT_TRUE(openPort("COM2"));
    setPtt(true);
    EXPECT_EQ(fake::callLog(),
              (Log{"openSerialPort /dev/ttyUSB1 rts 1 dtr -", "disableLineControl /dev/ttyUSB1",
                   "clearSerialErrors /dev/ttyUSB1", "setRts /dev/ttyUSB1 1", "setRts /dev/ttyUSB1 0",
                   "setRts /dev/ttyUSB1 1", "closeSerialPort /dev/ttyUSB1", "openSerialPort COM2 rts - dtr 0",
                   "disableLineControl COM2", "clearSerialErrors COM2", "setDtr COM2 0", "setDtr COM2 1"}));
}

TEST_F(PttControlTest, MethodNoneOpensNothingAndSaysSo)
{
    choosePtt(PttChoice{.method = PttMethod::none, .device = ""});
    choose(cmdPortCom1);
    txActive = true;
    choose(cmdPortCom2);
    setPtt(true);
    txActive = false;
    EXPECT_EQ(fake::callLog(), marks(1, 0, 0) + marks(0, 1, 0));
    EXPECT_EQ(pttStatus().state, PttState::notKeying);
}

// A CAT rig is opened only to key and closed once released; one that does not
// answer leaves the radio unkeyed with the reason shown, and is tried again next time.
TEST_F(PttControlTest, CatOpensTheRigOnlyWhileKeyedAndShowsWhyItCannotKey)
{
    choosePtt(PttChoice{.method = PttMethod::cat, .device = "127.0.0.1:4532", .model = 2});
    choose(cmdPortCom1);
    EXPECT_EQ(pttStatus().state, PttState::unkeyed);
    setPtt(true);
    EXPECT_EQ(pttStatus().state, PttState::keyed);
    setPtt(false);
    choosePtt(PttChoice{.method = PttMethod::cat, .device = "absent", .model = 2});
    choose(cmdPortCom2);
    setPtt(true);
    EXPECT_EQ(fake::callLog(), (marks(1, 0, 0) + Log{"openRig 2 127.0.0.1:4532 0", "setRigPtt 1", "setRigPtt 0",
                                                     "closeRig"} +
                                marks(0, 1, 0) + Log{"openRig 2 absent 0"}));
    EXPECT_EQ(pttStatus().state, PttState::cannotKey);
    EXPECT_EQ(pttStatus().detail, "rig on absent does not answer");
}

}  // namespace
}  // namespace q60
