// SPDX-License-Identifier: GPL-3.0-or-later
// The push-to-talk dialog on Qt Widgets: the method, then the fields that method
// uses (the others are greyed), as stored in [ptt] of "station.ini".
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "platform/StationWindow.h"
#include "platform/qt/OkCancel.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

constexpr int highestBaud = 115200;
constexpr int highestModel = 99999;  // Hamlib's model numbers stay below this

struct PttFields {
    QComboBox* method;
    QLineEdit* device;
    QComboBox* lines;
    QCheckBox* inverted;
    QSpinBox* model;
    QSpinBox* baud;

    void enableForMethod()
    {
        const auto chosen = static_cast<PttMethod>(method->currentIndex());
        device->setEnabled(chosen != PttMethod::none);
        lines->setEnabled(chosen == PttMethod::serial);
        inverted->setEnabled(chosen == PttMethod::serial);
        model->setEnabled(chosen == PttMethod::cat);
        baud->setEnabled(chosen == PttMethod::cat);
    }

    PttChoice choice() const
    {
        return PttChoice{static_cast<PttMethod>(method->currentIndex()), device->text().trimmed().toStdString(),
                         static_cast<PttLines>(lines->currentIndex()), inverted->isChecked(), model->value(),
                         baud->value()};
    }
};

QComboBox* makeList(QWidget* parent, const QStringList& items, int chosen)
{
    auto* list = new QComboBox(parent);
    list->addItems(items);
    list->setCurrentIndex(chosen);
    return list;
}

QSpinBox* makeNumberBox(QWidget* parent, int highest, int value, const QString& zeroText)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, highest);
    box->setSpecialValueText(zeroText);
    box->setValue(value);
    return box;
}

PttFields makeFields(QDialog& dialog, const PttChoice& choice)
{
    PttFields fields{
        makeList(&dialog, {QStringLiteral("Serial lines"), QStringLiteral("CAT through Hamlib"), QStringLiteral("None (VOX)")},
                 static_cast<int>(choice.method)),
        new QLineEdit(QString::fromStdString(choice.device), &dialog),
        makeList(&dialog, {QStringLiteral("RTS and DTR"), QStringLiteral("RTS"), QStringLiteral("DTR")},
                 static_cast<int>(choice.lines)),
        new QCheckBox(QStringLiteral("Keyed = lines &low"), &dialog),
        makeNumberBox(&dialog, highestModel, choice.model, QStringLiteral("none")),
        makeNumberBox(&dialog, highestBaud, choice.baud, QStringLiteral("the rig's own")),
    };
    fields.device->setPlaceholderText(QStringLiteral("the TX Port's COM n, or /dev/ttyUSB1, or host:port"));
    fields.inverted->setChecked(choice.inverted);
    fields.enableForMethod();
    return fields;
}

}  // namespace

bool runPttDialog(WindowHandle window, PttChoice& choice)
{
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Push-to-Talk"));
    auto* form = new QFormLayout(&dialog);
    PttFields fields = makeFields(dialog, choice);
    form->addRow(QStringLiteral("&Method:"), fields.method);
    form->addRow(QStringLiteral("&Device:"), fields.device);
    form->addRow(QStringLiteral("&Lines:"), fields.lines);
    form->addRow(QString(), fields.inverted);
    form->addRow(QStringLiteral("Hamlib &model:"), fields.model);
    form->addRow(QStringLiteral("&Baud:"), fields.baud);
    addOkCancel(dialog, form);
    QObject::connect(fields.method, &QComboBox::currentIndexChanged, &dialog, [&fields] { fields.enableForMethod(); });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted)
        choice = fields.choice();
    return accepted;
}

}  // namespace q60
