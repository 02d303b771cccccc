// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer alone on Qt: the program's dialog template built into a window
// whose procedure only records the messages it is given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "app/Resources.h"
#include "platform/Window.h"
#include "platform/qt/PlatformWindow.h"
#include "tests/platform/WidgetInput.h"

namespace q60 {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<WindowMessage>& received()
{
    static std::vector<WindowMessage> messages;
    return messages;
}

void record(WindowHandle, const WindowMessage& message) { received().push_back(message); }

std::string describe(const WindowMessage& message)
{
    switch (message.kind) {
    case MessageKind::InitDialog:
        return "InitDialog";
    case MessageKind::Command:
        return "Command " + std::to_string(message.id);
    case MessageKind::Timer:
        return "Timer " + std::to_string(message.id);
    case MessageKind::Paint:
        return "Paint";
    case MessageKind::Destroy:
        return "Destroy";
    case MessageKind::PlaybackLost:
        return "PlaybackLost";
    case MessageKind::SoundDeviceLost:
        return "SoundDeviceLost " + std::to_string(message.id);
    case MessageKind::HScroll:
        break;
    }
    const char* code = message.scroll == ScrollCode::ThumbTrack      ? "ThumbTrack"
                       : message.scroll == ScrollCode::ThumbPosition ? "ThumbPosition"
                                                                     : "Other";
    return "HScroll " + std::to_string(message.id) + " " + code + " " + std::to_string(message.position);
}

// Messages from index `from` on, leaving out the paints that showing and
// focusing cause whenever the window system pleases.
std::vector<std::string> messagesFrom(size_t from)
{
    std::vector<std::string> described;
    for (size_t k = from; k < received().size(); ++k)
        if (received()[k].kind != MessageKind::Paint)
            described.push_back(describe(received()[k]));
    return described;
}

int count(MessageKind kind)
{
    int n = 0;
    for (const WindowMessage& message : received())
        n += message.kind == kind ? 1 : 0;
    return n;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received().clear();
        window.start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QPushButton* button(int id) { return qobject_cast<QPushButton*>(window.control(id)); }
    QSlider* slider(int id) { return qobject_cast<QSlider*>(window.control(id)); }

    // What comes of a command given while the window runs.
    std::vector<std::string> messagesOf(auto request)
    {
        const size_t before = received().size();
        request();
        return messagesFrom(before);
    }

    void expectControlAt(int id, QRect pixels, const char* text)
    {
        QWidget* widget = window.control(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_EQ(widget->parentWidget(), window.client()) << id;
        EXPECT_EQ(widget->objectName(), QString::number(id));
        EXPECT_EQ(widget->geometry(), pixels) << id;
        if (auto* pushButton = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(pushButton->text(), text) << id;
        }
    }

    // A popup as lines "id text", "id text [x]" when checked, "(grey)" when disabled,
    // "-" for a separator and "> text" for a nested popup.
    std::vector<std::string> describePopup(QMenu* menu)
    {
        std::vector<std::string> lines;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                lines.push_back("-");
                continue;
            }
            std::string line = action->menu() != nullptr ? ">" : std::to_string(idOf(action));
            line.append(" ").append(action->text().toStdString());
            if (action->isChecked())
                line += " [x]";
            if (!action->isEnabled())
                line += " (grey)";
            lines.push_back(line);
        }
        return lines;
    }

    int idOf(QAction* action)
    {
        for (int id : menuIds)
            if (window.menuItem(id) == action)
                return id;
        return -1;
    }

    int levelBarAfter(int percent)
    {
        setLevelBar(&window, percent);
        return qobject_cast<QProgressBar*>(window.control(idLevelBar))->value();
    }

    int sliderAfter(int position)
    {
        setSliderPosition(&window, idContrastSlider, position);
        return slider(idContrastSlider)->value();
    }

    static constexpr int menuIds[] = {150, 131, 132, 134, 135, 136, 40085, 40086, 40087, 40081, 40082, 40084};
    PlatformWindow window{mainDialogTemplate, record};
};

TEST_F(WindowTest, StartDeliversInitDialogFirstAndShowsTheWindow)
{
    ASSERT_FALSE(received().empty());
    EXPECT_EQ(describe(received().front()), "InitDialog");
    EXPECT_EQ(messagesFrom(0), std::vector<std::string>{"InitDialog"});
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowTest, ClientAreaAndControlsSitAtTheirDialogUnitsInPixels)
{
    EXPECT_EQ(window.windowTitle(), "Quorrel 60line");
    EXPECT_EQ(window.client()->size(), QSize(353, 171));
    expectControlAt(idTxButton, QRect(285, 138, 56, 23), "TX");
    expectControlAt(idRxButton, QRect(12, 138, 56, 23), "RX");
    expectControlAt(idLevelBar, QRect(170, 0, 9, 120), "");
    expectControlAt(idBrightnessSlider, QRect(77, 135, 92, 15), "");
    expectControlAt(idContrastSlider, QRect(77, 150, 92, 15), "");
}

TEST_F(WindowTest, LevelBarAndSlidersSpanZeroToAHundred)
{
    auto* bar = qobject_cast<QProgressBar*>(window.control(idLevelBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->orientation(), Qt::Vertical);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    for (int id : {idBrightnessSlider, idContrastSlider}) {
        ASSERT_NE(slider(id), nullptr) << id;
        EXPECT_EQ(slider(id)->orientation(), Qt::Horizontal) << id;
        EXPECT_EQ(slider(id)->minimum(), 0) << id;
        EXPECT_EQ(slider(id)->maximum(), 100) << id;
    }
}

TEST_F(WindowTest, WindowHasAnIconAndCannotBeResized)
{
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.size(), window.minimumSize());
}

TEST_F(WindowTest, MenuBarCarriesTheThreePopupsInOrder)
{
    const QList<QAction*> popups = window.menuBar()->actions();
    ASSERT_EQ(popups.size(), 3);
    EXPECT_EQ(popups[0]->text(), "&File");
    EXPECT_EQ(popups[1]->text(), "&Options");
    EXPECT_EQ(popups[2]->text(), "Special");
    EXPECT_THAT(describePopup(window.popup(0)), ElementsAre("150 E&xit"));
    EXPECT_THAT(describePopup(window.popup(1)),
                ElementsAre("131 &Preview [x]", "132 &Overlay", "-", "134 Video &Format...", "135 Video &Source...",
                            "136 Video &Display...", "-", "> TX Port", "-"));
    ASSERT_EQ(window.popup(1)->actions().size(), 9);
    QMenu* txPort = window.popup(1)->actions()[7]->menu();
    ASSERT_NE(txPort, nullptr);
    EXPECT_THAT(describePopup(txPort), ElementsAre("40085 None", "40086 COM 1", "40087 COM 2"));
    EXPECT_THAT(describePopup(window.popup(2)),
                ElementsAre("40081 Load LPF 31 coeff from file", "40082 Load HPF 31 coeff from file", "-",
                            "40084 TestPic"));
    EXPECT_EQ(window.popup(3), nullptr);
}

TEST_F(WindowTest, ChoosingAMenuItemDeliversItsCommandAndLeavesItsMark)
{
    for (int id : menuIds) {
        EXPECT_THAT(messagesOf([&] { window.menuItem(id)->trigger(); }),
                    ElementsAre("Command " + std::to_string(id)));
        EXPECT_EQ(window.menuItem(id)->isChecked(), id == cmdPreview) << id;
    }
}

TEST_F(WindowTest, CheckAndEnableRequestsMarkAndGreyOneItem)
{
    QAction* overlay = window.menuItem(cmdOverlay);
    checkMenuItem(&window, cmdOverlay, true);
    EXPECT_TRUE(overlay->isChecked());
    overlay->trigger();
    EXPECT_TRUE(overlay->isChecked()) << "choosing a marked item keeps its mark";
    checkMenuItem(&window, cmdOverlay, false);
    EXPECT_FALSE(overlay->isChecked());
    overlay->trigger();
    EXPECT_FALSE(overlay->isChecked()) << "nor does it mark an unmarked one";

    enableMenuItem(&window, cmdVideoSource, false);
    EXPECT_FALSE(window.menuItem(cmdVideoSource)->isEnabled());
    EXPECT_TRUE(window.menuItem(cmdVideoDisplay)->isEnabled());
    enableMenuItem(&window, cmdVideoSource, true);
    EXPECT_TRUE(window.menuItem(cmdVideoSource)->isEnabled());
}

TEST_F(WindowTest, AppendedItemEndsTheOptionsPopupAndDeliversItsCommand)
{
    appendMenuItem(&window, optionsPopup, cmdDriver0, "&0 Test camera");
    drawMenuBar(&window);
    const QList<QAction*> options = window.popup(optionsPopup)->actions();
    ASSERT_EQ(options.size(), 10);
    EXPECT_TRUE(options[8]->isSeparator());
    EXPECT_EQ(options[9]->text(), "&0 Test camera");
    EXPECT_EQ(options[9], window.menuItem(cmdDriver0));
    EXPECT_FALSE(options[9]->isChecked());
    EXPECT_THAT(messagesOf([&] { options[9]->trigger(); }), ElementsAre("Command 151"));
}

TEST_F(WindowTest, SetCaptionRetitlesTheWindow)
{
    setCaption(&window, "Set Capture to 160 * 120, 24bit color");
    EXPECT_EQ(window.windowTitle(), "Set Capture to 160 * 120, 24bit color");
}

TEST_F(WindowTest, LevelBarAndSliderPositionsAreClampedToTheirRange)
{
    EXPECT_EQ(levelBarAfter(79), 79);
    EXPECT_EQ(levelBarAfter(-5), 0);
    EXPECT_EQ(levelBarAfter(150), 100);
    EXPECT_EQ(levelBarAfter(100), 100);

    EXPECT_EQ(sliderAfter(45), 45);
    EXPECT_EQ(sliderAfter(-10), 0);
    EXPECT_EQ(sliderAfter(150), 100);
    EXPECT_EQ(sliderAfter(0), 0);
}

TEST_F(WindowTest, PositioningASliderIsNoScrollMessage)
{
    EXPECT_THAT(messagesOf([&] { setSliderPosition(&window, idBrightnessSlider, 45); }), ElementsAre());
    EXPECT_EQ(slider(idBrightnessSlider)->value(), 45);
}

TEST_F(WindowTest, TimerDeliversItsIdAgainAndAgain)
{
    startTimer(&window, rxTimerId, rxTimerPeriodMs);
    EXPECT_TRUE(QTest::qWaitFor([] { return count(MessageKind::Timer) >= 3; }, 10000));
    for (const WindowMessage& message : received())
        if (message.kind == MessageKind::Timer) {
            EXPECT_EQ(message.id, rxTimerId);
        }
}

TEST_F(WindowTest, SentCommandRunsBeforeSendCommandReturns)
{
    EXPECT_THAT(messagesOf([&] { sendCommand(&window, cmdPortCom2); }), ElementsAre("Command 40087"));
}

TEST_F(WindowTest, PostedCloseDestroysOnceTheLoopRunsAndThenNothingArrives)
{
    postClose(&window);
    EXPECT_EQ(count(MessageKind::Destroy), 0) << "postClose returns before the window closes";
    ASSERT_TRUE(QTest::qWaitFor([] { return count(MessageKind::Destroy) == 1; }, 5000));
    EXPECT_FALSE(window.isVisible());

    const size_t afterDestroy = received().size();
    window.close();
    postClose(&window);
    QTest::qWait(50);
    sendCommand(&window, cmdTestPic);
    window.menuItem(cmdExit)->trigger();
    EXPECT_EQ(received().size(), afterDestroy);
    EXPECT_EQ(describe(received().back()), "Destroy");
}

TEST_F(WindowTest, RepaintNowPaintsBeforeItReturns)
{
    const int paints = count(MessageKind::Paint);
    repaintNow(&window);
    EXPECT_EQ(count(MessageKind::Paint), paints + 1);
    repaintNow(nullptr);  // before the dialog exists the receiver still asks
    EXPECT_EQ(count(MessageKind::Paint), paints + 1);
}

TEST_F(WindowTest, MessageBoxIsModalInfoWithOkOnlyOwnedByTheWindow)
{
    bool returned = false;
    const test::MessageBoxSeen box = test::answerMessageBox([&] {
        showMessage(&window, "load failed");
        returned = true;
    });
    ASSERT_TRUE(box.shown) << "showMessage returned without a modal box";
    EXPECT_TRUE(returned);
    EXPECT_EQ(box.title, "info");
    EXPECT_EQ(box.text, "load failed");
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_TRUE(box.okOnly);
    EXPECT_EQ(box.parent, &window);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WindowTest, ClickingTheButtonsDeliversTheirCommands)
{
    EXPECT_THAT(messagesOf([&] { QTest::mouseClick(button(idTxButton), Qt::LeftButton); }),
                ElementsAre("Command 1070"));
    EXPECT_THAT(messagesOf([&] { QTest::mouseClick(button(idRxButton), Qt::LeftButton); }),
                ElementsAre("Command 1071"));
}

TEST_F(WindowTest, TabGoesBetweenTheTwoButtonsAndSpacePressesTheFocusedOne)
{
    EXPECT_TRUE(button(idTxButton)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(button(idRxButton)->hasFocus());
    EXPECT_THAT(messagesOf([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }),
                ElementsAre("Command 1071"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(button(idTxButton)->hasFocus()) << "sliders and level bar are no tab stops";
    EXPECT_THAT(messagesOf([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }),
                ElementsAre("Command 1070"));
}

TEST_F(WindowTest, EscapeLeavesTheWindowOpen)
{
    EXPECT_THAT(messagesOf([&] {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                    QTest::keyClick(&window, Qt::Key_Escape);
                    QTest::qWait(50);
                }),
                ElementsAre());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowTest, DraggingTheThumbReportsEachPositionAndWhereItIsLetGo)
{
    QSlider* brightness = slider(idBrightnessSlider);
    const std::vector<std::string> toTheRight =
        messagesOf([&] { test::dragSliderThumb(brightness, brightness->width() + 40); });
    ASSERT_GE(toTheRight.size(), 2U);
    EXPECT_EQ(toTheRight.back(), "HScroll 1073 ThumbPosition 100");
    EXPECT_EQ(toTheRight[toTheRight.size() - 2], "HScroll 1073 ThumbTrack 100");
    for (size_t k = 0; k + 1 < toTheRight.size(); ++k)
        EXPECT_THAT(toTheRight[k], ::testing::StartsWith("HScroll 1073 ThumbTrack ")) << k;

    const std::vector<std::string> toTheLeft = messagesOf([&] { test::dragSliderThumb(brightness, -40); });
    ASSERT_GE(toTheLeft.size(), 2U);
    EXPECT_EQ(toTheLeft[toTheLeft.size() - 2], "HScroll 1073 ThumbTrack 0");
    EXPECT_EQ(toTheLeft.back(), "HScroll 1073 ThumbPosition 0");
    EXPECT_EQ(brightness->value(), 0);
}

TEST_F(WindowTest, KeysAndClicksBesideTheThumbReportOnlyOtherScrolls)
{
    QSlider* contrast = slider(idContrastSlider);
    contrast->setFocus();
    const std::vector<std::string> moved = messagesOf([&] {
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left})
            QTest::keyClick(contrast, key);
        const QPoint besideTheThumb(contrast->width() - 3, contrast->height() / 2);
        QTest::mouseClick(contrast, Qt::LeftButton, Qt::NoModifier, besideTheThumb);
    });
    EXPECT_THAT(moved, ElementsAreArray({"HScroll 1074 Other 1", "HScroll 1074 Other 11", "HScroll 1074 Other 1",
                                         "HScroll 1074 Other 0", "HScroll 1074 Other 10"}));
}

TEST_F(WindowTest, TheWheelMovesTheThumbAsAnOtherScroll)
{
    QSlider* contrast = slider(idContrastSlider);
    const QPointF centre(contrast->width() / 2.0, contrast->height() / 2.0);
    QWheelEvent notch(centre, contrast->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const std::vector<std::string> moved = messagesOf([&] { QApplication::sendEvent(contrast, &notch); });
    EXPECT_THAT(moved, ElementsAre("HScroll 1074 Other 3"));
}

}  // namespace
}  // namespace q60
