// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program's window: the real dispatcher on the Qt platform, driven as a
// user drives it, each test in a working directory of its own (start-up reads
// "settings.txt" and closing writes it).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>

#include "app/MainDialog.h"
#include "app/ReceiverSettings.h"
#include "app/Resources.h"
#include "app/Settings.h"
#include "app/TxPicture.h"
#include "platform/StationFile.h"
#include "platform/qt/PlatformWindow.h"
#include "rx/PictureAssembler.h"
#include "tests/platform/WidgetInput.h"
#include "tests/support/ScratchDirectory.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

using test::defaultSettingsText;
using test::readFile;

// The grey at a pixel, or -1 where the pixel is not grey.
int greyAt(const QImage& image, int x, int y)
{
    const QRgb pixel = image.pixel(x, y);
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) ? qRed(pixel) : -1;
}

class MainWindowTest : public ::testing::Test {
protected:
    void start()
    {
        window = std::make_unique<PlatformWindow>(mainDialogTemplate, mainWindowProc);
        window->start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QSlider* slider(int id) { return qobject_cast<QSlider*>(window->control(id)); }

    QImage client() { return window->client()->grab().toImage(); }

    int brightnessAfterDrag(int x)
    {
        test::dragSliderThumb(slider(idBrightnessSlider), x);
        return Brightness;
    }

    int contrastAfterDrag(int x)
    {
        test::dragSliderThumb(slider(idContrastSlider), x);
        return Contrast;
    }

    // Far beyond either end of a slider's track.
    int rightEnd() { return slider(idBrightnessSlider)->width() + 40; }
    static constexpr int leftEnd = -40;

    test::ScratchDirectory scratch;
    std::unique_ptr<PlatformWindow> window;
};

// What the receiver dialog showed when it came up, as "clock rxPpm fastLock txPpm
// integrate".
QString shownReceiverChoice(QDialog* dialog)
{
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(dialog->findChild<QComboBox*>(QStringLiteral("clock"))->currentText())
        .arg(dialog->findChild<QDoubleSpinBox*>(QStringLiteral("rxPpm"))->value())
        .arg(dialog->findChild<QCheckBox*>()->isChecked())
        .arg(dialog->findChild<QDoubleSpinBox*>(QStringLiteral("txPpm"))->value())
        .arg(dialog->findChild<QSpinBox*>(QStringLiteral("integrate"))->text());
}

// Opens Station > Receiver... and, once it is up, notes what it shows, lets change
// set its fields and presses OK.
QString answerReceiverDialog(PlatformWindow& window, const std::function<void(QDialog*)>& change)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->windowTitle() != QStringLiteral("Receiver")) {
            ADD_FAILURE() << "no receiver dialog";
            return;
        }
        shown = shownReceiverChoice(dialog);
        change(dialog);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    window.menuItem(cmdReceiver)->trigger();
    return shown;
}

// The dialog's choice goes into "station.ini" and comes back into the dialog.
TEST_F(MainWindowTest, ReceiverDialogChoiceRoundTripsThroughTheStationFile)
{
    test::writeFile("station.ini", "[rx]\nppm=-42.5\n");
    start();
    const QString first = answerReceiverDialog(*window, [](QDialog* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("clock"))->setCurrentIndex(1);
        dialog->findChild<QDoubleSpinBox*>(QStringLiteral("rxPpm"))->setValue(123.4);
        dialog->findChild<QCheckBox*>()->setChecked(true);
        dialog->findChild<QDoubleSpinBox*>(QStringLiteral("txPpm"))->setValue(-7);
        dialog->findChild<QSpinBox*>(QStringLiteral("integrate"))->setValue(8);
    });
    EXPECT_EQ(first.toStdString(), "Fixed -42.5 0 0 Off");
    const std::string stored = readFile("station.ini");
    EXPECT_NE(stored.find("[rx]\nafc=false\nfastLock=true\nintegrate=8\nppm=123.4\nsturdySync=false\n"), std::string::npos)
        << stored;
    EXPECT_NE(stored.find("[tx]\nppm=-7\n"), std::string::npos) << stored;
    const QString again = answerReceiverDialog(*window, [](QDialog* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("clock"))->setCurrentIndex(2);
    });
    EXPECT_EQ(again.toStdString(), "Fixed 123.4 1 -7 8 frames");
    EXPECT_NE(readFile("station.ini").find("ppm=auto"), std::string::npos);
}

TEST_F(MainWindowTest, PictureAreaIsBlackAtStart)
{
    start();
    const QImage shown = client();
    int notBlack = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 5; x < 165; ++x)
            notBlack += greyAt(shown, x, y) == 0 ? 0 : 1;
    EXPECT_EQ(notBlack, 0);
    EXPECT_NE(greyAt(shown, 4, 60), 0);
    EXPECT_NE(greyAt(shown, 165, 60), 0);
}

TEST_F(MainWindowTest, PictureRowsAppearTwiceBottomUpFiveColumnsIn)
{
    for (int row = 0; row < rxPictureRows; ++row)
        for (int i = 0; i < rxPictureWidth; ++i)
            for (int colour = 0; colour < 3; ++colour)
                RxPicture[rxPictureRowBytes * row + 3 * i + colour] = static_cast<uint8_t>(4 * row + i % 2);
    start();
    const QImage shown = client();

    EXPECT_EQ(greyAt(shown, 5, 119), 0) << "row 0, pixel 0 at the bottom left";
    EXPECT_EQ(greyAt(shown, 6, 118), 1);
    EXPECT_EQ(greyAt(shown, 164, 0), 237) << "row 59, pixel 159 at the top right";
    EXPECT_EQ(greyAt(shown, 99, 60), 116) << "row 29, an even pixel";
    int wrong = 0;
    for (int row = 0; row < rxPictureRows; ++row)
        for (int i = 0; i < rxPictureWidth; ++i)
            for (int y : {119 - 2 * row, 118 - 2 * row})
                wrong += greyAt(shown, 5 + i, y) == 4 * row + i % 2 ? 0 : 1;
    EXPECT_EQ(wrong, 0);

    const QRgb background = window->client()->palette().color(QPalette::Window).rgb();
    int pictureOutside = 0;
    for (int y = 0; y < 120; ++y)
        for (int x : {4, 165})
            pictureOutside += shown.pixel(x, y) == background ? 0 : 1;
    EXPECT_EQ(pictureOutside, 0);
}

TEST_F(MainWindowTest, DraggingAThumbToItsEndsSetsBrightnessAndContrast)
{
    start();
    EXPECT_EQ(brightnessAfterDrag(rightEnd()), 250);
    EXPECT_EQ(brightnessAfterDrag(leftEnd), 50);
    EXPECT_EQ(contrastAfterDrag(rightEnd()), 530);
    EXPECT_EQ(contrastAfterDrag(leftEnd), 230);
}

TEST_F(MainWindowTest, ArrowKeysMoveTheThumbButKeepBrightness)
{
    start();
    QSlider* brightness = slider(idBrightnessSlider);
    ASSERT_EQ(brightness->value(), 45);
    brightness->setFocus();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_Left})
        QTest::keyClick(brightness, key);
    EXPECT_EQ(brightness->value(), 56);
    EXPECT_EQ(Brightness, 140);
}

TEST_F(MainWindowTest, TestPicTogglesItsMarkAndTheFlag)
{
    start();
    QAction* testPic = window->menuItem(cmdTestPic);
    testPic->trigger();
    EXPECT_TRUE(testPic->isChecked());
    EXPECT_TRUE(testPicture);
    testPic->trigger();
    EXPECT_FALSE(testPic->isChecked());
    EXPECT_FALSE(testPicture);
}

TEST_F(MainWindowTest, MissingLowPassFileIsReportedInAnInfoBox)
{
    start();
    const test::MessageBoxSeen box =
        test::answerMessageBox([&] { window->menuItem(cmdLoadLowPass)->trigger(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.title, "info");
    EXPECT_EQ(box.text, "load failed");
    EXPECT_TRUE(box.okOnly);
    EXPECT_EQ(box.parent, window.get());
}

TEST_F(MainWindowTest, ClosingTheWindowWritesTheDefaultSettings)
{
    start();
    EXPECT_TRUE(readFile("settings.txt").empty());
    window->close();
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

TEST_F(MainWindowTest, ExitClosesOnceTheLoopRunsAndWritesTheSettings)
{
    start();
    window->menuItem(cmdExit)->trigger();
    EXPECT_TRUE(window->isVisible()) << "Exit posts the close";
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }, 5000));
    EXPECT_EQ(readFile("settings.txt"), defaultSettingsText);
}

TEST_F(MainWindowTest, SettingsOutOfTheSlidersReachClampTheThumbsAndStay)
{
    const char* const saved = "0 TX_Port\n0 VideoDriver\n200 Contrast\n141 Brightness\n10 Synclevel\nNOCALL Call\n";
    test::writeFile("settings.txt", saved);
    start();
    EXPECT_EQ(slider(idContrastSlider)->value(), 0);
    EXPECT_EQ(slider(idBrightnessSlider)->value(), 45);
    window->close();
    EXPECT_EQ(readFile("settings.txt"), saved) << "positioning the thumbs changes no value";
}

// The dialog gains no control for it, yet a picture file dropped on it is sent, as one
// dropped on the picture window is.
TEST_F(MainWindowTest, APictureFileDroppedOnTheDialogBecomesThePictureSent)
{
    QImage picture(80, 60, QImage::Format_Grayscale8);
    picture.fill(90);
    ASSERT_TRUE(picture.save("dropped.png"));
    start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QDir::current().absoluteFilePath("dropped.png"))});
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);

    EXPECT_TRUE(window->menuItem(cmdSendPictureFile)->isChecked());
    const StationEntries station = readStationFile("station.ini");
    EXPECT_EQ(station.at("tx/source"), "picture");
    EXPECT_EQ(station.at("tx/picture"), QDir::current().absoluteFilePath("dropped.png").toStdString());
}

}  // namespace
}  // namespace q60
