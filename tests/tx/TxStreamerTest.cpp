// SPDX-License-Identifier: GPL-3.0-or-later
// The transmit streamer on the fake platform: the feeder driven cycle by cycle on the
// test's thread, the TX button's start, stop and failures, and one real feeder thread.
#include "tx/TxStreamer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/TxCommands.h"
#include "platform/fake/FakeAudio.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeThreads.h"
#include "tx/FrameModulator.h"
#include "tx/PttControl.h"
#include "tx/TxClock.h"

namespace q60 {
namespace {

using Log = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

const Log startCalls{"openPlaybackDevice", "createPlayBuffer 22500 11025", "startPlayBuffer", "startThread"};
const Log stopCalls{"setRts COM1 0", "setDtr COM1 0", "stopPlayBuffer", "sleepMs 1000", "joinThread",
                    "releasePlaybackDevice"};

Log operator+(Log a, const Log& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The logged calls that begin with one of these words, in order.
Log callsOf(std::initializer_list<std::string> words, const Log& log = fake::callLog())
{
    Log calls;
    for (const std::string& call : log)
        for (const std::string& word : words)
            if (call.rfind(word + " ", 0) == 0)
                calls.push_back(call);
    return calls;
}

Bytes slice(const Bytes& bytes, int from, int count) { return {bytes.begin() + from, bytes.begin() + from + count}; }

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The tone of the current picture, built where the feeder builds it; only while no
// feeder runs.
Bytes modulatedFrame()
{
    Bytes frame(synthBufferBytes);
    synthBuffer = frame.data();
    frame.resize(modulateFrame());
    synthBuffer = nullptr;
    return frame;
}

// The TX button with COM1 as the push-to-talk port; the log starts after the port opened.
void openCom1()
{
    portCommand(fake::window(), cmdPortCom1);
    fake::callLog().clear();
}

void pressTx() { txCommand(fake::window()); }

class TxStreamerFeederTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake::holdThreads();
        Bytes ramp(txFrameBytes);
        for (int k = 0; k < txFrameBytes; ++k)
            ramp[k] = static_cast<uint8_t>(k * 7);
        setTxFrame(ramp.data(), ramp.size());
        frame = modulatedFrame();
    }

    // Runs the held feeder on this thread, one cycle per play position: before cycle k
    // the device plays from positions[k] and between(k) runs. The pause after the last
    // cycle stops transmission, as a TX press would.
    void runCycles(const std::vector<uint32_t>& positions, const std::function<void(size_t)>& between = {})
    {
        size_t cycle = 0;
        const auto enter = [&](size_t k) {
            fake::setPlayPosition(positions[k]);
            if (between)
                between(k);
        };
        fake::setSleepHook([&](int milliseconds) {
            if (milliseconds == 1000)
                return;  // stopTx's own wait, reached from inside this hook
            if (++cycle < positions.size())
                enter(cycle);
            else
                stopTx();
        });
        ASSERT_TRUE(startTx(fake::window()));
        enter(0);
        fake::callLog().clear();
        EXPECT_EQ(fake::runHeldThread(), 0U);
        fake::setSleepHook({});
        EXPECT_EQ(cycle, positions.size());
        EXPECT_EQ(fake::callLog().back(), "releasePlaybackDevice") << "the feeder made no call after the release";
        EXPECT_EQ(synthBuffer, nullptr);
    }

    // The cycles in which the feeder locked the buffer.
    static std::vector<size_t> lockingCycles()
    {
        std::vector<size_t> cycles;
        size_t reads = 0;
        for (const std::string& call : fake::callLog()) {
            reads += call == "playPosition";
            if (call.rfind("lockPlayBuffer ", 0) == 0)
                cycles.push_back(reads - 1);
        }
        return cycles;
    }

    Bytes frame;
};

TEST_F(TxStreamerFeederTest, WritesWhenAtMost3500BytesAreLeftAndTakesNoneLeftForAFullBuffer)
{
    // Distances: 22500 (0 counts as full), 3501, 3500 | 22500, 22499, 3501, 3500 | 1.
    runCycles({0, 18999, 19000, 9600, 9601, 6099, 6100, 19199});
    EXPECT_EQ(lockingCycles(), (std::vector<size_t>{2, 6, 7}));
    EXPECT_EQ(callsOf({"lockPlayBuffer"}),
              (Log{"lockPlayBuffer 0 9600", "lockPlayBuffer 9600 9600", "lockPlayBuffer 19200 9600"}));
    const Log tail(fake::callLog().end() - 5, fake::callLog().end());
    EXPECT_EQ(tail, (Log{"sleepMs 50", "stopPlayBuffer", "sleepMs 1000", "joinThread", "releasePlaybackDevice"}));
}

TEST_F(TxStreamerFeederTest, SteadyPlayGetsFramesBackToBackWrappingAtTheBufferEnd)
{
    // The device moves 551 bytes (50 ms) per cycle; 150 cycles take 7 frames.
    std::vector<uint32_t> positions;
    for (uint32_t k = 0; k < 150; ++k)
        positions.push_back(k * 551 % 22500);
    runCycles(positions);
    EXPECT_EQ(lockingCycles(), (std::vector<size_t>{35, 52, 70, 87, 105, 122, 140}));
    EXPECT_EQ(callsOf({"lockPlayBuffer", "unlockPlayBuffer"}),
              (Log{"lockPlayBuffer 0 9600", "unlockPlayBuffer 9600 0", "lockPlayBuffer 9600 9600",
                   "unlockPlayBuffer 9600 0", "lockPlayBuffer 19200 9600", "unlockPlayBuffer 3300 6300",
                   "lockPlayBuffer 6300 9600", "unlockPlayBuffer 9600 0", "lockPlayBuffer 15900 9600",
                   "unlockPlayBuffer 6600 3000", "lockPlayBuffer 3000 9600", "unlockPlayBuffer 9600 0",
                   "lockPlayBuffer 12600 9600", "unlockPlayBuffer 9600 0"}));
    // The frame at 15900 wrapped: its last 3000 bytes lead the buffer, its 300 before them close it.
    const Bytes contents = fake::playBufferContents();
    ASSERT_EQ(contents.size(), 22500U);
    EXPECT_TRUE(contents == slice(frame, 6600, 3000) + frame + frame + slice(frame, 6300, 300));
}

// A card 1000 ppm fast gets frames of 9609.6 bytes on average, back to back as
// one stream: the second frame's lengths and bytes follow on from the first's.
TEST_F(TxStreamerFeederTest, ACorrectedClockWritesTheResampledStreamFrameAfterFrame)
{
    setTxClockCorrection(1000.0);
    Bytes stream(2 * maxCorrectedFrameBytes);
    const int first = correctTxClock(frame.data(), frameSamples, stream.data());
    const int second = correctTxClock(frame.data(), frameSamples, stream.data() + first);
    stream.resize(first + second);
    setTxClockCorrection(1000.0);
    runCycles({0, 19000, 6110});  // distances: full, 3500, 3500 or 3499
    EXPECT_EQ(callsOf({"lockPlayBuffer"}), (Log{"lockPlayBuffer 0 " + std::to_string(first),
                                                "lockPlayBuffer " + std::to_string(first) + " " + std::to_string(second)}));
    EXPECT_TRUE(slice(fake::playBufferContents(), 0, first + second) == stream);
}

TEST_F(TxStreamerFeederTest, TheWriterWrapsToOffset0ExactlyAfter75Frames)
{
    // 75 frames fill the buffer exactly 32 times; each cycle leaves 1 byte unplayed.
    std::vector<uint32_t> positions;
    for (uint32_t k = 0; k <= 75; ++k)
        positions.push_back((k * 9600 + 22499) % 22500);
    runCycles(positions);
    const Log locks = callsOf({"lockPlayBuffer"});
    ASSERT_EQ(locks.size(), 76U);
    EXPECT_EQ(locks[74], "lockPlayBuffer 12900 9600");
    EXPECT_EQ(locks[75], "lockPlayBuffer 0 9600");
}

TEST_F(TxStreamerFeederTest, AFailedOrShortLockDropsThatFrameAndTheNextIsWrittenInItsPlace)
{
    // Cycle 0 fails to lock; cycles 1 (at 0) and 4 (at 19200, wrapped) are granted 100 bytes short.
    fake::failLocks(1);
    Bytes afterShortLock;
    runCycles({19000, 19000, 19000, 6100, 19199, 19199, 6299}, [&](size_t k) {
        if (k == 2)
            afterShortLock = fake::playBufferContents();
        fake::shortenLocks(k == 1 || k == 4 ? 100 : 0);
    });
    EXPECT_EQ(callsOf({"lockPlayBuffer", "unlockPlayBuffer"}),
              (Log{"lockPlayBuffer 0 9600", "lockPlayBuffer 0 9600", "unlockPlayBuffer 9500 0",
                   "lockPlayBuffer 0 9600", "unlockPlayBuffer 9600 0", "lockPlayBuffer 9600 9600",
                   "unlockPlayBuffer 9600 0", "lockPlayBuffer 19200 9600", "unlockPlayBuffer 3300 6200",
                   "lockPlayBuffer 19200 9600", "unlockPlayBuffer 3300 6300", "lockPlayBuffer 6300 9600",
                   "unlockPlayBuffer 9600 0"}));
    // The short lock's bytes were copied; the 100 it withheld still hold silence.
    ASSERT_EQ(afterShortLock.size(), 22500U);
    EXPECT_TRUE(slice(afterShortLock, 0, 9500) == slice(frame, 0, 9500));
    EXPECT_EQ(slice(afterShortLock, 9500, 100), Bytes(100, 128));
}

// Two TX presses while a start fails after the given calls: each releases what it
// obtained and says so; the radio is never keyed, and the second press tries again
// rather than taking the failed start for a running one.
void expectFailingStarts(const Log& calls)
{
    fake::holdThreads();
    openCom1();
    const Log press = calls + Log{"showMessage directsound init failed"};
    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(synthBuffer, nullptr);
    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(fake::callLog(), press + press);
    closePort();
}

TEST(TxStreamerStartTest, NoDevice)
{
    fake::failAudioStep(fake::AudioStep::Open);
    expectFailingStarts({"openPlaybackDevice"});
}

TEST(TxStreamerStartTest, NoBuffer)
{
    fake::failAudioStep(fake::AudioStep::CreateBuffer);
    expectFailingStarts({"openPlaybackDevice", "createPlayBuffer 22500 11025", "releasePlaybackDevice"});
}

TEST(TxStreamerStartTest, BufferDoesNotStart)
{
    fake::failAudioStep(fake::AudioStep::StartBuffer);
    expectFailingStarts(
        {"openPlaybackDevice", "createPlayBuffer 22500 11025", "startPlayBuffer", "releasePlaybackDevice"});
}

TEST(TxStreamerStartTest, NoThread)
{
    fake::failThreadStart();
    expectFailingStarts(startCalls + Log{"releasePlaybackDevice"});
}

TEST(TxStreamerButtonTest, LostPlaybackUnkeysAtOnceThenTheButtonStopsAndStartsAsUsual)
{
    fake::holdThreads();
    openCom1();
    playbackLost();
    EXPECT_EQ(fake::callLog(), Log{}) << "nothing to release while not transmitting";
    pressTx();
    fake::callLog().clear();
    playbackLost();
    EXPECT_TRUE(txActive);
    EXPECT_EQ(fake::callLog(), (Log{"setRts COM1 0", "setDtr COM1 0"}));
    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(synthBuffer, nullptr);
    pressTx();
    EXPECT_TRUE(txActive);
    EXPECT_EQ(fake::callLog(),
              (Log{"setRts COM1 0", "setDtr COM1 0"} + stopCalls + startCalls + Log{"setRts COM1 1", "setDtr COM1 1"}));
    pressTx();
    closePort();
}

// A real feeder thread, for ThreadSanitizer: the stop's own wait is skipped, so only
// the join keeps the feeder from outliving what it uses.
TEST(TxStreamerButtonTest, RealFeederWritesAFrameBetweenKeyingAndUnkeyingAndHasEndedWhenStopped)
{
    fake::setSleepHook([](int milliseconds) {
        if (milliseconds != 1000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    openCom1();
    pressTx();
    EXPECT_TRUE(txActive);
    EXPECT_EQ(fake::callLog(), (startCalls + Log{"setRts COM1 1", "setDtr COM1 1"}));
    fake::setPlayPosition(19000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (callsOf({"unlockPlayBuffer"}, fake::threadLog()).empty()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the feeder wrote no frame";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Polls the feeder makes from here on are unordered with the stop, as in the program.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    fake::callLog().clear();
    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(fake::callLog(), stopCalls);
    const Log feeder = fake::threadLog();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(fake::threadLog().size(), feeder.size()) << "the feeder still runs";
    EXPECT_EQ(callsOf({"lockPlayBuffer", "unlockPlayBuffer"}, feeder),
              (Log{"lockPlayBuffer 0 9600", "unlockPlayBuffer 9600 0"}))
        << "one frame, then a full buffer";
    EXPECT_TRUE(slice(fake::playBufferContents(), 0, 9600) == modulatedFrame());
    closePort();
}

}  // namespace
}  // namespace q60
