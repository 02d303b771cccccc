// The receiver's options on recordings as a real radio path delivers them: each
// option's floor against the ideal picture, with the default receiver's figure beside it.
#include <gtest/gtest.h>

#include <vector>

#include "rx/FilterBank.h"
#include "rx/PictureAssembler.h"
#include "tests/support/ImpairedRecording.h"
#include "tests/support/ReceivedPicture.h"

namespace q60 {
namespace {

using test::Impairment;
using test::impairedRecording;
using test::receiveRecording;
using test::syncColumn;

// Every row's line sync begins in column 0, 1 or 2, as the settled default has it.
bool linedUp()
{
    for (int row = 1; row < rxPictureRows; ++row) {
        const int column = test::lineSyncColumn(row);
        if (column < 0 || column > 2)
            return false;
    }
    return true;
}

// The darkest run of columns near column 0, where a settled receiver puts the sync.
bool syncNearColumnZero()
{
    const int column = syncColumn();
    return column <= 2 || column >= rxPictureWidth - 2;
}

// The test ramp received from start (a sample of the recording) until two frames
// after the first frame sync, just after the third one has begun a new picture, so
// the RxPicture holds the frame between the second and the third.
void receiveTwoFramesAfterTheFirstFrameSync(size_t start, const Impairment& impairment = {})
{
    restoreDefaultFilters();
    testPicture = true;
    const auto recording = impairedRecording(4, impairment);
    const size_t firstFrameSync = (start + frameSamples - 1) / frameSamples * frameSamples;
    receiveRecording(recording, start, firstFrameSync + 2 * frameSamples + lineSamples + 40);
}

class FastLockStart : public ::testing::TestWithParam<int> {};

TEST_P(FastLockStart, LinesUpWithinTwoFramesOfTheFirstFrameSync)
{
    fastLock = true;
    receiveTwoFramesAfterTheFirstFrameSync(static_cast<size_t>(GetParam()));
    EXPECT_TRUE(linedUp());
}

// Starts across a whole frame, in steps that fall on every part of a line.
INSTANTIATE_TEST_SUITE_P(AcrossAFrame, FastLockStart, ::testing::Range(0, frameSamples, 383));

// The default moves one value a frame: from the middle of a line it needs 55 to 61
// frames (measured), so the fast lock's check above does see a misplaced line.
TEST(ReceiverOptionsTest, WithoutFastLockAMidLineStartIsStillOutOfLine)
{
    receiveTwoFramesAfterTheFirstFrameSync(lineSamples / 2);
    EXPECT_FALSE(linedUp());
    EXPECT_FALSE(syncNearColumnZero());
}

// Noise breaks single line syncs; the 30 that agree still carry the lock, and it holds.
TEST(ReceiverOptionsTest, FastLockLinesUpAndHoldsAt10Db)
{
    fastLock = true;
    testPicture = true;
    const auto recording = impairedRecording(14, {.snrDb = 10});
    restoreDefaultFilters();
    receiveRecording(recording, lineSamples / 2, 3 * frameSamples + 200);
    for (int frame = 3; frame < 14; ++frame) {
        EXPECT_TRUE(syncNearColumnZero()) << "sync column " << syncColumn() << " after frame " << frame;
        receiveRecording(recording, frame * frameSamples + 200, (frame + 1) * frameSamples + 200);
    }
}

}  // namespace
}  // namespace q60
