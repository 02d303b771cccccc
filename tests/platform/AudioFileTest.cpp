// SPDX-License-Identifier: GPL-3.0-or-later
// The audio recording on disk: a disk that fills part way through a write leaves a
// valid WAV of exactly the bytes that reached it, and a folder that cannot be made
// refuses the start. The full disk is the file size limit of this test's process; the
// file is read while still open, as a crash would leave it.
#include "platform/AudioFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <vector>

#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

constexpr size_t chunkBytes = 5000;
constexpr rlim_t diskBytes = 7000;  // the second chunk reaches the disk in part only

std::vector<uint8_t> wavData(const char* path, SF_INFO& info)
{
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(info.frames));
    bytes.resize(static_cast<size_t>(sf_read_raw(file, bytes.data(), static_cast<sf_count_t>(bytes.size()))));
    sf_close(file);
    return bytes;
}

TEST(AudioFileTest, AFullDiskFailsTheWriteAndLeavesAValidWavOfWhatReachedIt)
{
    const test::ScratchDirectory scratch;
    std::string reason;
    test::writeFile("plain", "");
    EXPECT_FALSE(startAudioFile("plain/kept", "a.wav", reason));
    EXPECT_EQ(reason, "the folder cannot be made");

    std::vector<uint8_t> sent(2 * chunkBytes);
    for (size_t k = 0; k < sent.size(); ++k)
        sent[k] = static_cast<uint8_t>(k * 7 + k / 251);
    ASSERT_TRUE(startAudioFile("kept", "a.wav", reason)) << reason;
    ASSERT_TRUE(writeAudioFile(sent.data(), chunkBytes, reason)) << reason;
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit full{diskBytes, unlimited.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    reason.clear();
    const bool written = writeAudioFile(sent.data() + chunkBytes, chunkBytes, reason);
    setrlimit(RLIMIT_FSIZE, &unlimited);  // the test's own output may go to a file
    EXPECT_FALSE(written);
    EXPECT_FALSE(reason.empty());

    // Read before the recording ends, as after a crash.
    SF_INFO info{};
    const std::vector<uint8_t> kept = wavData("kept/a.wav", info);
    EXPECT_EQ(info.samplerate, 11025);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    ASSERT_GT(kept.size(), chunkBytes);
    ASSERT_LT(kept.size(), diskBytes);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), sent.begin()));
    stopAudioFile();
}

}  // namespace
}  // namespace q60
