// SPDX-License-Identifier: GPL-3.0-or-later
// Push-to-talk on the real platform: the whole program's window keys pseudo-terminals
// standing in for COM 1 and COM 2. The preloaded modem-lines recorder logs every
// drive of RTS and DTR and every close of a port, so each test checks the exact
// order the radio would see. PushToTalkTest runs in a desktop session with a sound
// server, PushToTalkWithoutSoundTest in one without.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <initializer_list>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "platform/Audio.h"
#include "platform/Serial.h"
#include "platform/qt/PlatformWindow.h"
#include "platform/qt/SerialLines.h"
#include "tests/platform/WidgetInput.h"
#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

using Entries = std::vector<std::string>;

// The recorder's log for this process, named before main() runs so that the
// environment is written while no other thread can read it.
struct LineLogFile {
    LineLogFile()
    {
        char name[] = "/tmp/q60-modem-lines-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0)
            std::abort();
        ::close(fd);
        path = name;
        ::setenv("Q60_MODEM_LINES_LOG", name, 1);
    }
    ~LineLogFile() { std::remove(path.c_str()); }
    std::string path;
};
const LineLogFile lineLogFile;

// The recorder's entries, read in steps.
class LineLog {
public:
    // The entries logged since the previous call.
    Entries next()
    {
        Entries all = read();
        Entries fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(seen, all.size())), all.end());
        seen = all.size();
        return fresh;
    }

    // Handles events until count entries beyond those already read are there.
    bool waitFor(size_t count, int timeoutMs)
    {
        return QTest::qWaitFor([&] { return read().size() >= seen + count; }, timeoutMs);
    }

private:
    static Entries read()
    {
        std::istringstream text(test::readFile(lineLogFile.path));
        Entries all;
        for (std::string line; std::getline(text, line);)
            all.push_back(line);
        return all;
    }

    size_t seen = 0;
};

// A pseudo-terminal in place of a serial port: the test holds the master side and
// the program opens the slave by its path.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            std::abort();
        path = ::ptsname(master);
        // Once the slave side has been open, the master reports a hang-up whenever
        // nobody holds it; opening it once here makes held() true only for the program.
        const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (slave < 0)
            std::abort();
        ::close(slave);
    }
    ~PseudoTerminal() { vanish(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The far end goes away, as when a USB adapter is pulled: the program's side hangs up.
    void vanish()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    bool held() const
    {
        pollfd state{master, POLLIN, 0};
        return ::poll(&state, 1, 0) >= 0 && (state.revents & POLLHUP) == 0;
    }

    // The log entries of this terminal, in order.
    Entries entries(std::initializer_list<const char*> events) const
    {
        Entries lines;
        for (const char* event : events)
            lines.push_back(path + " " + event);
        return lines;
    }

    std::string path;

private:
    int master = -1;
};

Entries operator+(Entries first, const Entries& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// What choosing a port logs: opening lowers both lines, then the port is put to
// rest with both lowered once more.
Entries opened(const PseudoTerminal& port) { return port.entries({"RTS 0", "DTR 0", "RTS 0", "DTR 0"}); }

const std::string com1Settings = "1 TX_Port\n0 VideoDriver\n380 Contrast\n140 Brightness\n10 Synclevel\nNOCALL Call\n";

class PushToTalkBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(::dlsym(RTLD_DEFAULT, "q60_modem_lines_recorder"), nullptr)
            << "run with the modem-lines recorder preloaded";
        setSerialPortPath("COM1", QString::fromStdString(com1.path));
        setSerialPortPath("COM2", QString::fromStdString(com2.path));
    }

    void start()
    {
        window = std::make_unique<PlatformWindow>(mainDialogTemplate, mainWindowProc);
        window->start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Clicks TX and returns how long the click took, in milliseconds.
    qint64 pressTx()
    {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window->control(idTxButton), Qt::LeftButton);
        return clock.elapsed();
    }

    test::MessageBoxSeen pressTxExpectingABox()
    {
        return test::answerMessageBox([this] { pressTx(); });
    }

    // COM 1 chosen by the settings file, then TX pressed: the radio keyed.
    void startTransmittingOnCom1()
    {
        test::writeFile("settings.txt", com1Settings);
        start();
        EXPECT_EQ(log.next(), opened(com1));
        pressTx();
        ASSERT_TRUE(txActive);
        EXPECT_EQ(log.next(), com1.entries({"RTS 1", "DTR 1"}));
    }

    void expectPortMarked(int id)
    {
        for (int item : {cmdPortNone, cmdPortCom1, cmdPortCom2})
            EXPECT_EQ(window->menuItem(item)->isChecked(), item == id) << "menu item " << item;
    }

    test::ScratchDirectory scratch;
    PseudoTerminal com1;
    PseudoTerminal com2;
    LineLog log;
    std::unique_ptr<PlatformWindow> window;
};

class PushToTalkTest : public PushToTalkBase {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("Q60_SOUND_SERVER_PID"), nullptr) << "run in a desktop session with --sound";
        PushToTalkBase::SetUp();
    }
};

class PushToTalkWithoutSoundTest : public PushToTalkBase {
protected:
    void SetUp() override
    {
        ASSERT_EQ(std::getenv("Q60_SOUND_SERVER_PID"), nullptr) << "run in a desktop session without --sound";
        PushToTalkBase::SetUp();
    }
};

TEST_F(PushToTalkTest, PortChoicesAndTxKeyTheChosenPortInOrder)
{
    start();
    EXPECT_EQ(serialPortDevice("COM1"), com1.path);
    EXPECT_EQ(window->menuItem(cmdPortCom1)->statusTip().toStdString(), com1.path);
    EXPECT_EQ(window->menuItem(cmdPortCom2)->statusTip().toStdString(), com2.path);
    EXPECT_TRUE(log.next().empty()) << "no port is opened at start without settings";

    sendCommand(window.get(), cmdPortCom1);
    EXPECT_EQ(log.next(), opened(com1));
    EXPECT_TRUE(com1.held());
    expectPortMarked(cmdPortCom1);

    pressTx();
    EXPECT_TRUE(txActive);
    EXPECT_EQ(log.next(), com1.entries({"RTS 1", "DTR 1"}));

    const qint64 stopMs = pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"}));
    EXPECT_GE(stopMs, 1000) << "stopping waits out the feeder";
    EXPECT_LT(stopMs, 2000);

    pressTx();
    ASSERT_TRUE(txActive) << "the window takes TX again once stopped";
    EXPECT_EQ(log.next(), com1.entries({"RTS 1", "DTR 1"}));

    sendCommand(window.get(), cmdPortCom2);
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0", "closed"}) + opened(com2) +
                              com2.entries({"RTS 1", "DTR 1"}));
    EXPECT_FALSE(com1.held());
    EXPECT_TRUE(com2.held());
    expectPortMarked(cmdPortCom2);
    EXPECT_TRUE(txActive);

    window->menuItem(cmdPortNone)->trigger();
    EXPECT_EQ(log.next(), com2.entries({"RTS 0", "DTR 0", "closed"}));
    EXPECT_FALSE(com2.held());
    expectPortMarked(cmdPortNone);

    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_TRUE(log.next().empty()) << "no port, nothing keyed";
    window->close();
    EXPECT_EQ(test::readFile("settings.txt"), test::defaultSettingsText);
}

TEST_F(PushToTalkTest, ClosingTheWindowWhileTransmittingUnkeysBeforeTheEnd)
{
    test::writeFile("settings.txt", com1Settings);
    start();
    EXPECT_EQ(log.next(), opened(com1)) << "the saved port is opened at start";
    expectPortMarked(cmdPortCom1);

    pressTx();
    ASSERT_TRUE(txActive);
    EXPECT_EQ(log.next(), com1.entries({"RTS 1", "DTR 1"}));

    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0", "closed"}));
    EXPECT_FALSE(com1.held());
    EXPECT_EQ(test::readFile("settings.txt"), com1Settings);
}

// The sound server going away must unkey the radio at once; transmission itself
// stays on until TX is pressed, and a new start then fails as with no server.
TEST_F(PushToTalkTest, SoundServerLostWhileTransmittingUnkeysAndTxRecovers)
{
    ASSERT_NO_FATAL_FAILURE(startTransmittingOnCom1());

    const pid_t server = static_cast<pid_t>(std::atoi(std::getenv("Q60_SOUND_SERVER_PID")));
    ASSERT_GT(server, 0);
    ASSERT_EQ(::kill(server, SIGTERM), 0);
    EXPECT_TRUE(log.waitFor(2, 3000)) << "the lines fall within 3 s";
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"}));
    EXPECT_TRUE(txActive);
    EXPECT_TRUE(com1.held());

    const qint64 stopMs = pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_LT(stopMs, 2000);
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"})) << "TX off unkeys as always";

    const test::MessageBoxSeen box = pressTxExpectingABox();
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, "directsound init failed");
    EXPECT_FALSE(txActive);
    EXPECT_TRUE(log.next().empty());

    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(log.next(), com1.entries({"closed"}));
    EXPECT_EQ(test::readFile("settings.txt"), com1Settings);
}

// The share of what the default source records over durationMs that lies well away
// from silence: none for silence, most of it for the transmitted tone.
double recordedToneShare(int durationMs)
{
    constexpr uint32_t ringBytes = 22050;  // longer than any recording asked for here
    constexpr int margin = 20;
    CaptureHandle device = openCaptureDevice();
    if (device == nullptr)
        return -1.0;
    double share = -1.0;
    if (createCaptureBuffer(device, ringBytes, 11025) && startCapture(device)) {
        QTest::qWait(durationMs);
        uint32_t end = 0;
        BufferRegions regions;
        if (capturePosition(device, end) && end > 0 && lockCaptureBuffer(device, 0, end, regions)) {
            int loud = 0;
            for (uint32_t k = 0; k < regions.firstBytes; ++k)
                loud += std::abs(regions.first[k] - 128) > margin ? 1 : 0;
            share = static_cast<double>(loud) / end;
            unlockCaptureBuffer(device, regions);
        }
        stopCapture(device);
    }
    releaseCaptureDevice(device);
    return share;
}

pid_t soundServer() { return static_cast<pid_t>(std::atoi(std::getenv("Q60_SOUND_SERVER_PID"))); }

// A new sound server on the session's socket, once the old one no longer answers.
bool restartSoundServer()
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedChannels);
    helper.start(QStringLiteral(Q60_DESKTOP_SESSION), {QStringLiteral("--restart-sound")});
    return QTest::qWaitFor([&] { return helper.state() == QProcess::NotRunning; }, 15000) &&
           helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0;
}

// Back within a few seconds, Qt finds the sound server again by itself, but the
// stream that was lost stays lost: the radio stays unkeyed until TX is pressed off
// and on, which then keys it and sounds as before.
TEST_F(PushToTalkTest, SoundServerBackSoonKeysAgainOnlyOnTheNextTxPress)
{
    ASSERT_NO_FATAL_FAILURE(startTransmittingOnCom1());

    ASSERT_EQ(::kill(soundServer(), SIGTERM), 0);
    EXPECT_TRUE(log.waitFor(2, 3000));
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"}));
    ASSERT_TRUE(restartSoundServer());
    QTest::qWait(1000);
    EXPECT_TRUE(log.next().empty()) << "the server coming back keys nothing by itself";
    EXPECT_TRUE(txActive);

    pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"}));
    const test::MessageBoxSeen box = pressTxExpectingABox();
    ASSERT_FALSE(box.shown) << box.text.toStdString();
    ASSERT_TRUE(txActive);
    EXPECT_EQ(log.next(), com1.entries({"RTS 1", "DTR 1"}));
    QTest::qWait(2500);  // the buffer of silence that goes first
    EXPECT_GT(recordedToneShare(1500), 0.5) << "the new transmission sounds";

    pressTx();
    EXPECT_EQ(log.next(), com1.entries({"RTS 0", "DTR 0"}));
    window->close();
    EXPECT_EQ(log.next(), com1.entries({"closed"}));
    EXPECT_EQ(test::readFile("settings.txt"), com1Settings);
}

// The events of a log's entries, without the device path: a pty's path reads
// "(deleted)" once its far end has gone.
Entries eventsOf(const Entries& entries)
{
    Entries events;
    for (const std::string& entry : entries)
        events.push_back(entry.substr(entry.find_last_of(' ', entry.size() - 3) + 1));
    return events;
}

// The push-to-talk port's far end going away while transmitting (a cable or adapter
// pulled): the tone goes on, the program does not spin on the hung-up port (it
// once did, at a whole core, as the port's read notifier fired for ever), and TX
// off still stops the tone and lowers what is left of the lines.
TEST_F(PushToTalkTest, PortVanishingWhileTransmittingKeepsTheToneUntilTxOff)
{
    ASSERT_NO_FATAL_FAILURE(startTransmittingOnCom1());

    com1.vanish();
    const std::clock_t cpuBefore = std::clock();
    QTest::qWait(2500);  // past the buffer of silence that goes first
    const double cpuSeconds = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuSeconds, 0.75) << "CPU time used in 2.5 s after the port went away";
    EXPECT_TRUE(txActive);
    EXPECT_TRUE(log.next().empty()) << "nothing drives the lines by itself";
    EXPECT_GT(recordedToneShare(1500), 0.5) << "the tone goes on without the port";

    const qint64 stopMs = pressTx();
    EXPECT_FALSE(txActive);
    EXPECT_LT(stopMs, 2000);
    EXPECT_EQ(eventsOf(log.next()), (Entries{"RTS 0", "DTR 0"}));
    QTest::qWait(500);
    EXPECT_LT(recordedToneShare(1000), 0.05) << "TX off ends the tone";
    window->close();
    EXPECT_EQ(test::readFile("settings.txt"), com1Settings);
}

std::string statusLineOf(const PlatformWindow& window, bool tip = false)
{
    const auto* line = window.findChild<QLabel*>(QStringLiteral("statusLine"));
    if (line == nullptr)
        return "no status line";
    return (tip ? line->toolTip() : line->text()).toStdString();
}

// "station.ini" names a pseudo-terminal in place of COM 1, one line and an inverted
// interface: RTS alone rests high from the open on, falls to key, rises to release,
// and COM 1's own device is never opened. The status line follows every step.
TEST_F(PushToTalkTest, AnInvertedRtsOnlyPathKeysLowAndShowsItsState)
{
    test::writeFile("settings.txt", com1Settings);
    test::writeFile("station.ini", "[ptt]\ndevice=" + com2.path + "\nlines=rts\ninverted=true\n");
    start();
    EXPECT_EQ(log.next(), com2.entries({"RTS 1", "RTS 1"}));
    EXPECT_EQ(statusLineOf(*window), "TX off   RX off   PTT unkeyed");
    EXPECT_EQ(statusLineOf(*window, true), "RTS inverted on " + com2.path);

    pressTx();
    EXPECT_EQ(log.next(), com2.entries({"RTS 0"}));
    EXPECT_EQ(statusLineOf(*window), "TX on   RX off   PTT keyed");
    pressTx();
    EXPECT_EQ(log.next(), com2.entries({"RTS 1"}));
    pressTx();
    EXPECT_EQ(log.next(), com2.entries({"RTS 0"}));

    window->close();
    EXPECT_EQ(log.next(), com2.entries({"RTS 1", "closed"}));
    EXPECT_FALSE(com1.held());
}

// A port that cannot be opened is still checked, as always, and the status line
// says that nothing can be keyed, and why.
TEST_F(PushToTalkTest, AnAbsentPortIsShownAsUnableToKey)
{
    test::writeFile("station.ini", "[ptt]\ndevice=/dev/q60-absent\n");
    start();
    sendCommand(window.get(), cmdPortCom1);
    expectPortMarked(cmdPortCom1);
    EXPECT_EQ(statusLineOf(*window), "TX off   RX off   PTT cannot key");
    EXPECT_EQ(statusLineOf(*window, true), "cannot open /dev/q60-absent");
    EXPECT_TRUE(log.next().empty());
    window->close();
}

// Hamlib's dummy rig served by a real rigctld on the loopback, keyed through CAT
// with model 2 (a rig server) as an operator sharing the rig would.
class CatPushToTalkTest : public PushToTalkTest {
protected:
    void SetUp() override
    {
        PushToTalkTest::SetUp();
        address = "127.0.0.1:" + std::to_string(40000 + ::getpid() % 20000);
        server.start(QStringLiteral("rigctld"), {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-P"),
                                                 QStringLiteral("RIG"), QStringLiteral("-T"), QStringLiteral("127.0.0.1"),
                                                 QStringLiteral("-t"), QString::fromStdString(address.substr(10))});
        ASSERT_TRUE(server.waitForStarted(3000)) << "rigctld (libhamlib-utils) is needed";
        ASSERT_TRUE(QTest::qWaitFor([this] { return rigPttReading() == "0"; }, 3000)) << "rigctld answers";
        test::writeFile("settings.txt", com1Settings);
        test::writeFile("station.ini", "[ptt]\nmethod=cat\nmodel=2\ndevice=" + address + "\n");
    }

    void TearDown() override
    {
        server.kill();
        server.waitForFinished(3000);
    }

    // What a second client of the server reads as the rig's PTT, as rigctl prints it.
    std::string rigPttReading()
    {
        QProcess client;
        client.start(QStringLiteral("rigctl"), {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                                                QString::fromStdString(address), QStringLiteral("get_ptt")});
        client.waitForFinished(3000);
        return client.readAllStandardOutput().trimmed().toStdString();
    }

    std::string address;
    QProcess server;
};

TEST_F(CatPushToTalkTest, TxKeysTheRigWhileTheToneRunsAndOnlyThen)
{
    start();
    EXPECT_EQ(rigPttReading(), "0") << "opening keys nothing";
    EXPECT_EQ(statusLineOf(*window), "TX off   RX off   PTT unkeyed");
    EXPECT_EQ(statusLineOf(*window, true), "CAT, Hamlib model 2 on " + address);

    pressTx();
    ASSERT_TRUE(txActive);
    EXPECT_EQ(rigPttReading(), "1");
    EXPECT_EQ(statusLineOf(*window), "TX on   RX off   PTT keyed");
    pressTx();
    EXPECT_EQ(rigPttReading(), "0");

    pressTx();
    EXPECT_EQ(rigPttReading(), "1");
    window->close();
    EXPECT_EQ(rigPttReading(), "0") << "closing the window releases the rig";
    EXPECT_TRUE(log.next().empty()) << "no serial line is driven";
}

// The rig server killed while keyed: the window goes on, the status line shows it
// within a timer tick or two, TX off stops the tone at once, and TX on again with
// the server gone fails to key without a hang.
TEST_F(CatPushToTalkTest, RigServerKilledWhileKeyedIsShownAndTxOffStillWorks)
{
    start();
    pressTx();
    ASSERT_EQ(rigPttReading(), "1");

    server.kill();
    ASSERT_TRUE(server.waitForFinished(3000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return statusLineOf(*window) == "TX on   RX off   PTT cannot key"; }, 3000));
    EXPECT_EQ(statusLineOf(*window, true), "rig stopped answering while keyed");

    EXPECT_LT(pressTx(), 2000);
    EXPECT_FALSE(txActive);
    QTest::qWait(500);
    EXPECT_LT(recordedToneShare(1000), 0.05) << "TX off ends the tone";

    EXPECT_LT(pressTx(), 1500) << "keying a rig that is gone is bounded";
    EXPECT_TRUE(txActive);
    EXPECT_EQ(statusLineOf(*window), "TX on   RX off   PTT cannot key");
    EXPECT_NE(statusLineOf(*window, true).find("does not answer"), std::string::npos) << statusLineOf(*window, true);
    pressTx();
    window->close();
}

TEST_F(PushToTalkWithoutSoundTest, TxFailsWithAMessageAndNeverKeys)
{
    start();
    window->menuItem(cmdPortCom1)->trigger();
    EXPECT_EQ(log.next(), opened(com1));
    expectPortMarked(cmdPortCom1);

    const test::MessageBoxSeen box = pressTxExpectingABox();
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "info");
    EXPECT_EQ(box.text, "directsound init failed");
    EXPECT_TRUE(box.okOnly);
    EXPECT_FALSE(txActive);
    EXPECT_TRUE(log.next().empty()) << "no line is raised";
    EXPECT_TRUE(com1.held()) << "the port stays chosen";

    window->close();
    EXPECT_EQ(log.next(), com1.entries({"closed"}));
    EXPECT_EQ(test::readFile("settings.txt"), com1Settings);
}

}  // namespace
}  // namespace q60
