// SPDX-License-Identifier: GPL-3.0-or-later
// Sync detection and picture assembly driven with chosen levels: with brightness 0
// and contrast 1 every value given to assembleValue is the level itself.
#include "rx/PictureAssembler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>


namespace q60 {
namespace {

constexpr float picture = 100.0F;  // a level well above Synclevel
constexpr float sync = -50.0F;

class PictureAssemblerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Brightness = 0;
        Contrast = 1;
        setPictureRestartHandler([] { ++restartCalls; });
    }

    static inline int restartCalls = 0;

    // Feeds one level; notes the values at which the picture restarted and lines ended.
    void feed(float level)
    {
        const int calls = restartCalls;
        const int32_t row = rowIndex;
        assembleValue(level);
        if (restartCalls != calls)
            restarts.push_back(fed);
        if (rowIndex == row + 1)
            lineEnds.push_back(fed);
        ++fed;
    }

    void feed(float level, int count)
    {
        for (int k = 0; k < count; ++k)
            feed(level);
    }

    // Lines with a one-value line sync at syncPosition, counted in a line phase
    // that never moved (the value index modulo 160).
    void linesWithSyncAt(int syncPosition, int lines)
    {
        for (int k = 0; k < 160 * lines; ++k)
            feed(fed % 160 == syncPosition ? sync : picture);
    }

    void pictureUntilPosition(int position)
    {
        while (fed % 160 != position)
            feed(picture);
    }

    // A long sync run from the current value on; returns the value at which it
    // gave a frame sync, or -1 if none came.
    long frameSync()
    {
        if (fed == 0)
            feed(picture);  // the first value's restart is no frame sync
        const size_t before = restarts.size();
        for (int k = 0; k < 10000 && restarts.size() == before; ++k)
            feed(sync);
        return restarts.size() == before ? -1 : restarts.back();
    }

    // One level so low that the slow average falls below Synclevel at once: a frame
    // sync on exactly that value, at the given position. Returns its index.
    long frameSyncAt(int position)
    {
        pictureUntilPosition(position);
        feed(-1e6F);
        return restarts.back() == fed - 1 ? fed - 1 : -1;
    }

    // Position (0 to 159) of the first line end after value index from, in the
    // counting of a line phase that never moved.
    long firstLineEndAfter(long from)
    {
        feed(picture, 400);
        for (long end : lineEnds)
            if (end > from)
                return end % 160;
        return -1;
    }

    long fed = 0;
    std::vector<long> restarts;
    std::vector<long> lineEnds;
};

uint8_t grey(int row, int column)
{
    return RxPicture[rxPictureRowBytes * row + 3 * column];
}

TEST_F(PictureAssemblerTest, FirstValueRestartsThePictureOnce)
{
    for (uint8_t byte : RxPicture)
        ASSERT_EQ(byte, 0);
    feed(picture);
    EXPECT_EQ(restarts, std::vector<long>{0});
    EXPECT_EQ(rowIndex, 0);
}

TEST_F(PictureAssemblerTest, WithoutSyncLinesAndPicturesStillFollowEachOther)
{
    for (int k = 0; k < 2 * 9600; ++k)
        feed(static_cast<float>(20 + k % 160));
    ASSERT_EQ(lineEnds.size(), 118U) << "the 60th line of each picture ends in a restart, not in row 60";
    for (size_t n = 0; n < lineEnds.size(); ++n)
        EXPECT_EQ(lineEnds[n] % 160, 159);
    EXPECT_EQ(restarts, (std::vector<long>{0, 9599, 19199}));
    for (int row : {0, 31, 59}) {
        EXPECT_EQ(grey(row, 0), 20);
        EXPECT_EQ(grey(row, 159), 179);
        EXPECT_EQ(RxPicture[rxPictureRowBytes * row + 3 * 77 + 2], 97) << "red equals the grey too";
    }
}

TEST_F(PictureAssemblerTest, LevelsBecomeGreysByClampingAndTruncation)
{
    const std::vector<std::pair<float, uint8_t>> cases = {
        {255.0F, 255}, {1000.0F, 255}, {254.99F, 254}, {1.0F, 1}, {0.99F, 0}, {-0.5F, 0}, {-300.0F, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0}, {std::numeric_limits<float>::infinity(), 255}, {140.0F, 140},
    };
    for (const auto& [level, expected] : cases)
        feed(level);
    feed(picture, 160 - static_cast<int>(cases.size()));
    for (size_t column = 0; column < cases.size(); ++column)
        EXPECT_EQ(grey(0, static_cast<int>(column)), cases[column].second) << cases[column].first;
}

TEST_F(PictureAssemblerTest, DefaultSettingsMapTheDiscriminatorToLevels)
{
    Brightness = 140;
    Contrast = 380;
    feed(0.0F);
    feed(-0.5F);  // level -50: black, and a line sync
    feed(0.16F, 158);
    EXPECT_EQ(grey(0, 0), 140);
    EXPECT_EQ(grey(0, 1), 0);
    EXPECT_EQ(grey(0, 2), 200);
}

TEST_F(PictureAssemblerTest, HeldSyncGivesFrameSyncsEvery6000Values)
{
    feed(sync, 20000);
    // The slow average falls from 50 to 10 on the 31st value; then the hold-off.
    EXPECT_EQ(restarts, (std::vector<long>{0, 30, 6030, 12030, 18030}));
}

TEST_F(PictureAssemblerTest, HeldSyncVotesFrom179ValuesAfterAFrameSyncThenEvery140)
{
    // Votes at 209 + 140 m (m = 0 to 41) lie at positions 49, 29, 9, 149, ... with
    // mean 3238 / 42 = 77: the frame sync at 6030 steps back. Votes on any other
    // cadence (140 from the frame sync, say: mean 80, folded to -80) would not.
    feed(sync, 6100);
    ASSERT_EQ(restarts.back(), 6030);
    EXPECT_EQ(firstLineEndAfter(6030), 0);
}

TEST_F(PictureAssemblerTest, SyncsLateInTheLineStepThePhaseBack)
{
    linesWithSyncAt(5, 35);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 0) << "the line is one value longer: ends at 160";
}

TEST_F(PictureAssemblerTest, SyncsBeforeTheLineEndStepThePhaseForward)
{
    linesWithSyncAt(157, 35);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 158) << "mean 157, folded to -3: one value shorter";
}

TEST_F(PictureAssemblerTest, SyncsWithinOneValueOfTheLineStartChangeNothing)
{
    for (int position : {1, 159, 0}) {
        linesWithSyncAt(position, 35);
        EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 159) << position;
        feed(picture, 6000);
    }
}

TEST_F(PictureAssemblerTest, TwentyNineSyncsAreTooFewAndAreForgotten)
{
    linesWithSyncAt(5, 29);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 159);
    feed(picture, 6000);
    linesWithSyncAt(5, 29);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 159) << "the first 29 were cleared";
}

TEST_F(PictureAssemblerTest, SyncsWithin140ValuesOfALineSyncAreIgnored)
{
    // A second sync 119 values after each line sync would pull the mean to 60.
    for (int line = 0; line < 35; ++line)
        for (int k = 0; k < 160; ++k)
            feed(k == 1 || k == 120 ? sync : picture);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 159) << "only the syncs at 1 counted: no step";
}

TEST_F(PictureAssemblerTest, SyncsStraddlingTheLineEndAverageToTheMiddle)
{
    linesWithSyncAt(0, 15);
    linesWithSyncAt(159, 15);
    EXPECT_EQ(firstLineEndAfter(frameSyncAt(20)), 0) << "mean (15 * 0 + 15 * 159) / 30 = 79: a backward step";
}

TEST_F(PictureAssemblerTest, BackwardStepAtTheLineStartStoresNothingForThatValue)
{
    linesWithSyncAt(5, 35);
    const long frame = frameSyncAt(0);
    EXPECT_EQ(firstLineEndAfter(frame), 0);
    EXPECT_EQ(grey(0, 0), 100) << "the frame sync's black went nowhere";
}

TEST_F(PictureAssemblerTest, ForwardStepAtTheLineEndShortensTheNextLine)
{
    linesWithSyncAt(157, 35);
    const long frame = frameSyncAt(159);
    EXPECT_EQ(rowIndex, 1) << "the line ends on the frame sync's own value, into row 0";
    EXPECT_EQ(firstLineEndAfter(frame), 158) << "the next line starts at position 1: one value shorter";
}

TEST_F(PictureAssemblerTest, NonFiniteLevelsDoNotEndFrameSync)
{
    feed(std::numeric_limits<float>::quiet_NaN());
    feed(std::numeric_limits<float>::infinity());
    feed(picture, 100);
    // From 50 towards 100 over 100 values (90.7), then to 10 on the 51st sync value.
    EXPECT_EQ(frameSync() - 102, 50) << "the slow average goes on as if they never came";
}

}  // namespace
}  // namespace q60
