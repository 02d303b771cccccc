// SPDX-License-Identifier: GPL-3.0-or-later
// Station > Sound Devices... in the whole program's window, against the real sound
// server of the test's own desktop session: its null sink "nullsink" and the remapped
// source "nullsrc". Devices are plugged in while the dialog is open with pactl.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/MainDialog.h"
#include "app/Resources.h"
#include "app/Station.h"
#include "platform/qt/PlatformWindow.h"
#include "tests/support/ScratchDirectory.h"

namespace q60 {
namespace {

using test::readFile;

// The names (item data) a device list offers, in order.
QStringList namesIn(const QComboBox* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemData(i).toString();
    return names;
}

QString pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

class SoundDevicesDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("Q60_SOUND_SERVER_PID"), nullptr) << "run in a desktop session with --sound";
    }

    void TearDown() override
    {
        if (!radioModule.isEmpty())
            pactl({QStringLiteral("unload-module"), radioModule});
    }

    void start()
    {
        window = std::make_unique<PlatformWindow>(mainDialogTemplate, mainWindowProc);
        window->start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Opens the dialog and, once it is up, lets answer look at it and set it, then
    // presses OK.
    void answerDialog(const std::function<void(QComboBox*, QComboBox*, QSpinBox*)>& answer)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->windowTitle() != QStringLiteral("Sound Devices"))
                return;
            seen = true;
            answer(dialog->findChild<QComboBox*>(QStringLiteral("output")),
                   dialog->findChild<QComboBox*>(QStringLiteral("input")),
                   dialog->findChild<QSpinBox*>(QStringLiteral("txLevel")));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        window->menuItem(cmdSoundDevices)->trigger();
        EXPECT_TRUE(seen) << "no Sound Devices dialog";
    }

    test::ScratchDirectory scratch;
    std::unique_ptr<PlatformWindow> window;
    QString radioModule;
};

// The server's devices, monitors among the inputs, "System default" first; a card
// plugged in while the dialog is open appears in both lists and can be chosen.
TEST_F(SoundDevicesDialogTest, ListsTheServersDevicesFollowsAPlugInAndStoresTheChoice)
{
    start();
    answerDialog([this](QComboBox* output, QComboBox* input, QSpinBox* level) {
        EXPECT_EQ(output->itemText(0).toStdString(), "System default");
        EXPECT_EQ(input->itemText(0).toStdString(), "System default");
        EXPECT_TRUE(output->currentData().toString().isEmpty());
        EXPECT_TRUE(namesIn(output).contains(QStringLiteral("nullsink"))) << namesIn(output).join(' ').toStdString();
        EXPECT_TRUE(namesIn(input).contains(QStringLiteral("nullsink.monitor")));
        EXPECT_TRUE(namesIn(input).contains(QStringLiteral("nullsrc")));

        radioModule = pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                             QStringLiteral("sink_name=radio"), QStringLiteral("sink_properties=device.description=Radio")});
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return namesIn(output).contains(QStringLiteral("radio")) &&
                   namesIn(input).contains(QStringLiteral("radio.monitor"));
        })) << "the plugged-in sink never appeared";
        EXPECT_EQ(output->itemText(output->findData(QStringLiteral("radio"))).toStdString(), "Radio");
        output->setCurrentIndex(output->findData(QStringLiteral("radio")));
        input->setCurrentIndex(input->findData(QStringLiteral("radio.monitor")));
        level->setValue(-20);
    });
    const std::string stored = readFile("station.ini");
    EXPECT_NE(stored.find("[audio]\ninput=radio.monitor\noutput=radio\ntxLevelDb=-20\n"), std::string::npos) << stored;
}

// A chosen device the server does not have stays chosen, marked absent: opening the
// dialog and pressing OK never moves the tone to another card.
TEST_F(SoundDevicesDialogTest, AnAbsentChoiceIsShownAsSuchAndKept)
{
    test::writeFile("station.ini", "[audio]\noutput=gone\ntxLevelDb=-7\n");
    start();
    answerDialog([](QComboBox* output, QComboBox* input, QSpinBox* level) {
        EXPECT_EQ(output->currentText().toStdString(), "gone (absent)");
        EXPECT_EQ(input->currentText().toStdString(), "System default");
        EXPECT_EQ(level->value(), -7);
    });
    const std::string stored = readFile("station.ini");
    EXPECT_NE(stored.find("output=gone\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("txLevelDb=-7\n"), std::string::npos) << stored;
}

}  // namespace
}  // namespace q60
