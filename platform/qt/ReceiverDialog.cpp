// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver dialog on Qt Widgets: the receiving card's clock correction (off, a
// fixed error or measured), the receiver's switches, frame integration and the
// transmitting card's error, as stored in [rx] and [tx] of "station.ini". A switch
// is one row of a table.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <vector>

#include "platform/StationWindow.h"
#include "platform/qt/OkCancel.h"
#include "platform/qt/PlatformWindow.h"
#include "rx/ClockCorrection.h"
#include "rx/FrameIntegrator.h"

namespace q60 {
namespace {

// An on/off option of the receiver: its text and the choice's field.
struct Switch {
    const char* text;
    bool ReceiverChoice::*field;
};

const Switch switches[] = {
    {"&Fast lock: lines up within two frames", &ReceiverChoice::fastLock},
    {"Fre&quency control: follows a mistuned receiver", &ReceiverChoice::frequencyControl},
    {"&Sturdy sync: for weak signals and black areas", &ReceiverChoice::sturdySync},
};

struct ReceiverFields {
    QComboBox* clock;
    QDoubleSpinBox* rxPpm;
    std::vector<QCheckBox*> switchBoxes;
    QDoubleSpinBox* txPpm;
    QSpinBox* integrate;

    void enableForClock() { rxPpm->setEnabled(static_cast<ClockMode>(clock->currentIndex()) == ClockMode::fixed); }

    ReceiverChoice choice() const
    {
        ReceiverChoice chosen{static_cast<ClockMode>(clock->currentIndex()), rxPpm->value(), false, txPpm->value(),
                              integrate->value()};
        for (size_t k = 0; k < switchBoxes.size(); ++k)
            chosen.*switches[k].field = switchBoxes[k]->isChecked();
        return chosen;
    }
};

QDoubleSpinBox* makePpmBox(QWidget* parent, double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-maxClockPpm, maxClockPpm);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" ppm"));
    box->setValue(value);
    return box;
}

// 1 is off: the picture window shows the last picture as it is.
QSpinBox* makeIntegrateBox(QWidget* parent, int frames)
{
    auto* box = new QSpinBox(parent);
    box->setRange(1, maxIntegratedFrames);
    box->setSpecialValueText(QStringLiteral("Off"));
    box->setSuffix(QStringLiteral(" frames"));
    box->setValue(frames);
    box->setObjectName(QStringLiteral("integrate"));
    box->setToolTip(QStringLiteral("The picture window shows the mean of this many pictures of a still picture"));
    return box;
}

ReceiverFields makeFields(QDialog& dialog, const ReceiverChoice& choice)
{
    ReceiverFields fields{new QComboBox(&dialog), makePpmBox(&dialog, choice.rxPpm), {},
                          makePpmBox(&dialog, choice.txPpm), makeIntegrateBox(&dialog, choice.integrate)};
    fields.clock->addItems({QStringLiteral("Off"), QStringLiteral("Fixed"), QStringLiteral("Automatic (measured)")});
    fields.clock->setCurrentIndex(static_cast<int>(choice.clock));
    for (const Switch& option : switches) {
        auto* box = new QCheckBox(QString::fromUtf8(option.text), &dialog);
        box->setChecked(choice.*option.field);
        fields.switchBoxes.push_back(box);
    }
    fields.clock->setObjectName(QStringLiteral("clock"));
    fields.rxPpm->setObjectName(QStringLiteral("rxPpm"));
    fields.txPpm->setObjectName(QStringLiteral("txPpm"));
    fields.rxPpm->setToolTip(QStringLiteral("Positive when the receiving card samples fast"));
    fields.txPpm->setToolTip(QStringLiteral("Positive when this station's card plays fast"));
    fields.enableForClock();
    return fields;
}

}  // namespace

bool runReceiverDialog(WindowHandle window, ReceiverChoice& choice)
{
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Receiver"));
    auto* form = new QFormLayout(&dialog);
    ReceiverFields fields = makeFields(dialog, choice);
    form->addRow(QStringLiteral("&Clock correction:"), fields.clock);
    form->addRow(QStringLiteral("Receiving card &error:"), fields.rxPpm);
    for (QCheckBox* box : fields.switchBoxes)
        form->addRow(QString(), box);
    form->addRow(QStringLiteral("Frame &integration:"), fields.integrate);
    form->addRow(QStringLiteral("&Transmitting card error:"), fields.txPpm);
    addOkCancel(dialog, form);
    QObject::connect(fields.clock, &QComboBox::currentIndexChanged, &dialog, [&fields] { fields.enableForClock(); });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        choice = fields.choice();
    return accepted;
}

}  // namespace q60
