// SPDX-License-Identifier: GPL-3.0-or-later
// "station.ini" through QSettings on disk: keys of other groups survive a write,
// a missing or unreadable file reads as no entries, and no temporary file is left.
#include "platform/StationFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

namespace fs = std::filesystem;

TEST(StationFileTest, AWriteSetsItsKeysAndKeepsEveryOtherGroupAndKey)
{
    const test::ScratchDirectory scratch;
    EXPECT_TRUE(readStationFile("station.ini").empty());
    test::writeFile("station.ini", "[audio]\noutput=desktop\nfuture=1\n\n[pictures]\nfolder=/srv/pics\n");
    ASSERT_TRUE(writeStationFile("station.ini", {{"audio/output", "radio"}, {"audio/txLevelDb", "-6"}}));
    EXPECT_EQ(readStationFile("station.ini"), (StationEntries{{"audio/future", "1"},
                                                              {"audio/output", "radio"},
                                                              {"audio/txLevelDb", "-6"},
                                                              {"pictures/folder", "/srv/pics"}}));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

TEST(StationFileTest, AnUnreadableOrGarbledFileReadsAsDefaultsAndNothingCrashes)
{
    const test::ScratchDirectory scratch;
    fs::create_directory("station.ini");
    EXPECT_TRUE(readStationFile("station.ini").empty());
    EXPECT_FALSE(writeStationFile("station.ini", {{"audio/output", "radio"}}));
    fs::remove("station.ini");
    test::writeFile("station.ini", std::string("\0\xff[[audio\n=\n==x\n[", 16));
    EXPECT_EQ(readStationFile("station.ini").count("audio/output"), 0u);
    EXPECT_TRUE(writeStationFile("station.ini", {{"audio/output", "radio"}}));
    EXPECT_EQ(readStationFile("station.ini").at("audio/output"), "radio");
}

}  // namespace
}  // namespace q60
