// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input as a user gives it, for the widget tests: dragging a slider's thumb and
// answering a modal message box.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

namespace q60::test {

// Where the style draws the slider's thumb, in the slider's own pixels.
inline QRect sliderHandle(QSlider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = slider->invertedAppearance();
    option.tickPosition = slider->tickPosition();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// Presses on the thumb, moves the mouse to x (beyond either end is allowed: the
// thumb stops there) and lets go.
inline void dragSliderThumb(QSlider* slider, int x)
{
    const QPoint grab = sliderHandle(slider).center();
    const QPoint target(x, grab.y());
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(slider, (grab + target) / 2);
    QTest::mouseMove(slider, target);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, target);
}

// What a message box showed while it was up.
struct MessageBoxSeen {
    bool shown = false;
    QString title;
    QString text;
    int buttonCount = 0;
    bool okOnly = false;
    QWidget* parent = nullptr;
};

// Runs action, which is expected to block in a modal message box; the box is read
// and its OK button clicked from inside its own event loop.
template <typename Action>
MessageBoxSeen answerMessageBox(Action action)
{
    MessageBoxSeen seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&seen, &poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        poll.stop();
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.okOnly = seen.buttonCount == 1 && box->standardButton(box->buttons().front()) == QMessageBox::Ok;
        seen.parent = box->parentWidget();
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->reject();
    });
    poll.start(20);
    action();
    return seen;
}

}  // namespace q60::test
