// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file read by position and written through a temporary file, in a
// fresh working directory per test. No window procedure is set, so the port and
// driver commands are only logged and leave the values as read.
#include "app/Settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/fake/FakePlatform.h"
#include "rx/PictureAssembler.h"
#include "tests/support/DefaultSettings.h"
#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

namespace fs = std::filesystem;

const std::string defaultValues = "0 0 380 140 10 NOCALL";

using test::defaultSettingsText;
using test::readFile;
using test::writeFile;

// The six values in file order, blank-separated, for one-line comparisons.
std::string values()
{
    char synclevel[32];
    std::snprintf(synclevel, sizeof synclevel, "%.10g", static_cast<double>(Synclevel));
    return std::to_string(TX_Port) + " " + std::to_string(VideoDriver) + " " + std::to_string(Contrast) + " " +
           std::to_string(Brightness) + " " + synclevel + " " + Call;
}

// The command IDs sent to the window since the log was last cleared, blank-separated.
std::string commandsSent()
{
    std::string ids;
    for (const std::string& call : fake::callLog())
        if (call.rfind("sendCommand ", 0) == 0) {
            if (!ids.empty())
                ids += ' ';
            ids.append(call, 12);
        }
    return ids;
}

std::string temporaryName() { return "settings.txt." + std::to_string(::getpid()) + ".tmp"; }

class SettingsTest : public ::testing::Test {
protected:
    // Reads text as the settings file, starting from the defaults.
    static void expectRead(const std::string& text, const std::string& expectedValues,
                           const std::string& expectedCommands)
    {
        test::resetSettingsToDefaults();
        writeFile("settings.txt", text);
        fake::callLog().clear();
        readSettings(fake::window());
        EXPECT_EQ(values(), expectedValues) << text;
        EXPECT_EQ(commandsSent(), expectedCommands) << text;
    }

    static void expectSynclevelWritten(float synclevel, const std::string& line)
    {
        Synclevel = synclevel;
        writeSettings();
        EXPECT_EQ(readFile("settings.txt"), "0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n" + line +
                                                " Synclevel\nNOCALL Call\n")
            << synclevel;
    }

    test::ScratchDirectory scratch;
};

TEST_F(SettingsTest, WithoutAFileEveryValueKeepsItsDefaultAndNothingIsSent)
{
    readSettings(fake::window());
    EXPECT_EQ(values(), defaultValues);
    EXPECT_EQ(fake::callLog(), std::vector<std::string>{});
}

TEST_F(SettingsTest, ADirectoryNamedLikeTheFileIsNoFile)
{
    fs::create_directory("settings.txt");
    readSettings(fake::window());
    EXPECT_EQ(values(), defaultValues);
    EXPECT_EQ(fake::callLog(), std::vector<std::string>{});
}

TEST_F(SettingsTest, EntriesAreTakenByPositionWhateverTheLayoutAndKeyWords)
{
    const std::string read = "1 1 300 100 7 ABC123";
    expectRead("1 TX_Port\n1 VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\nABC123 Call\n", read,
               "40086 152");
    expectRead("1 TX_Port 1 VideoDriver 300 Contrast 100 Brightness 7 Synclevel ABC123 Call", read, "40086 152");
    expectRead("1 TX_Port\r\n1 VideoDriver\r\n300 Contrast\r\n100 Brightness\r\n7 Synclevel\r\nABC123 Call\r\n",
               read, "40086 152");
    expectRead("\t1\tTX_Port\n\n1  VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\nABC123 Call", read,
               "40086 152");
    expectRead("1 xyz\n1 a\n300 b\n100 c\n7 d\nABC123 e\n", read, "40086 152");
    expectRead("0 xyz\n", "0 0 380 140 10 NOCALL", "40085 151");
    // Swapped lines: the port gets the driver index, the driver the port number.
    expectRead("1 VideoDriver\n2 TX_Port\n300 Contrast\n100 Brightness\n7 Synclevel\nABC123 Call\n",
               "1 2 300 100 7 ABC123", "40086");
}

TEST_F(SettingsTest, MissingEntriesKeepTheirDefaults)
{
    expectRead("2 TX_Port\n1 VideoDriver\n300 Contrast\n", "2 1 300 140 10 NOCALL", "40087 152");
    expectRead("2 TX_Port\n1 VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\n", "2 1 300 100 7 NOCALL",
               "40087 152");
    // An empty file is still a file: the default port and driver are applied.
    expectRead("", defaultValues, "40085 151");
    expectRead("\n \r\n", defaultValues, "40085 151");
}

TEST_F(SettingsTest, AWordWhereANumberBelongsEndsTheNumbersAndBecomesTheCall)
{
    expectRead("1 TX_Port\nabc VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\nABC123 Call\n",
               "1 0 380 140 10 abc", "40086 151");
    expectRead("1 TX_Port\n1 VideoDriver\n300 Contrast\n100 Brightness\nx Synclevel\nABC123 Call\n",
               "1 1 300 100 10 x", "40086 152");
    expectRead("hello world\n", "0 0 380 140 10 hello", "40085 151");
}

TEST_F(SettingsTest, OnlyPortsZeroToTwoAndDriversZeroAndOneAreApplied)
{
    const std::string rest = " 380 Contrast 140 Brightness 10 Synclevel NOCALL Call";
    expectRead("0 TX_Port 0 VideoDriver" + rest, "0 0 380 140 10 NOCALL", "40085 151");
    expectRead("2 TX_Port 1 VideoDriver" + rest, "2 1 380 140 10 NOCALL", "40087 152");
    expectRead("3 TX_Port 1 VideoDriver" + rest, "3 1 380 140 10 NOCALL", "152");
    expectRead("-1 TX_Port 0 VideoDriver" + rest, "-1 0 380 140 10 NOCALL", "151");
    expectRead("1 TX_Port 2 VideoDriver" + rest, "1 2 380 140 10 NOCALL", "40086");
    expectRead("5 TX_Port 7 VideoDriver" + rest, "5 7 380 140 10 NOCALL", "");
}

TEST_F(SettingsTest, OutOfRangeValuesAreWrittenBackAsRead)
{
    const std::string text =
        "5 TX_Port\n7 VideoDriver\n-2147483648 Contrast\n2147483647 Brightness\n-3 Synclevel\nX Call\n";
    expectRead(text, "5 7 -2147483648 2147483647 -3 X", "");
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), text);
}

TEST_F(SettingsTest, NumbersBeyondThirtyTwoBitsAreHeldAtTheEndsOfTheRange)
{
    expectRead("99999999999 TX_Port\n-99999999999 VideoDriver\n2147483648 Contrast\n"
               "-99999999999999999999999 Brightness\n99999999999 Synclevel\nX Call\n",
               "2147483647 -2147483648 2147483647 -2147483648 2147483648 X", "");
}

TEST_F(SettingsTest, ALongCallSignIsCutToElevenCharacters)
{
    const std::string head = "0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\n";
    expectRead(head + "ABCDEFGHIJK Call\n", "0 0 380 140 10 ABCDEFGHIJK", "40085 151");
    expectRead(head + "ABCDEFGHIJKLMNOP Call\n", "0 0 380 140 10 ABCDEFGHIJK", "40085 151");
    expectRead(head + "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ", "0 0 380 140 10 ABCDEFGHIJK",
               "40085 151");
}

TEST_F(SettingsTest, ACallSignIsCutAtANulByteAndAnEmptyOneKeepsTheCall)
{
    const std::string head = "0 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\n";
    expectRead(head + std::string("AB\0CD Call\n", 11), "0 0 380 140 10 AB", "40085 151");
    // Found by fuzz/: an empty call sign was written as " Call" and read back as "Call".
    expectRead(head + std::string("\0\0AB Call\n", 10), defaultValues, "40085 151");
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

TEST_F(SettingsTest, DefaultsAreWrittenAsSixLines)
{
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

TEST_F(SettingsTest, SynclevelIsWrittenTruncatedTowardZeroAndClampedAtTheTop)
{
    expectSynclevelWritten(10.0F, "10");
    expectSynclevelWritten(7.9F, "7");
    expectSynclevelWritten(-7.9F, "-7");
    expectSynclevelWritten(0.5F, "0");
    expectSynclevelWritten(2147483520.0F, "2147483520");  // the largest float below 2^31
    expectSynclevelWritten(2147483648.0F, "2147483647");
    expectSynclevelWritten(1e30F, "2147483647");
    expectSynclevelWritten(-2147483648.0F, "-2147483648");
}

TEST_F(SettingsTest, TheExtremesOfEveryNumberReadBackAsWritten)
{
    // 2147483647 becomes the float 2^31, which no int holds: it comes back as the largest int.
    const std::string text =
        "2 TX_Port\n1 VideoDriver\n2147483647 Contrast\n-2147483648 Brightness\n2147483647 Synclevel\nDL1ABC Call\n";
    expectRead(text, "2 1 2147483647 -2147483648 2147483648 DL1ABC", "40087 152");
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), text);
    expectRead("0 TX_Port\n0 VideoDriver\n0 Contrast\n0 Brightness\n-2147483648 Synclevel\nQ Call\n",
               "0 0 0 0 -2147483648 Q", "40085 151");
    writeSettings();
    test::resetSettingsToDefaults();
    readSettings(fake::window());
    EXPECT_EQ(values(), "0 0 0 0 -2147483648 Q");
}

TEST_F(SettingsTest, AWriteReplacesTheWholeFileAndLeavesNoTemporaryBehind)
{
    const std::string junk(4096, 'x');
    writeFile("settings.txt", junk);
    writeFile(temporaryName(), junk);  // left by an earlier run that had the same process ID
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>{"settings.txt"});
}

TEST_F(SettingsTest, WhenNoNewFileCanBeMadeTheOldOneStaysAsItWas)
{
    const std::string old = "2 TX_Port\n1 VideoDriver\n300 Contrast\n100 Brightness\n7 Synclevel\nOLD Call\n";
    writeFile("settings.txt", old);
    fs::create_directory(temporaryName());
    Contrast = 1;
    writeSettings();
    EXPECT_EQ(readFile("settings.txt"), old);
}

TEST_F(SettingsTest, AVanishedWorkingDirectoryIsNeitherReadNorWritten)
{
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove(scratch.path() / "gone");
    readSettings(fake::window());
    writeSettings();
    EXPECT_EQ(commandsSent(), "");
    EXPECT_EQ(values(), defaultValues);
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

}  // namespace
}  // namespace q60
