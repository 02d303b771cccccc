// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device dialog on Qt Widgets: an output and an input list, filled from the
// sound server and filled again whenever a device comes or goes, and the transmit
// level in whole decibels.
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QSpinBox>

#include "platform/StationWindow.h"
#include "platform/qt/AudioDevices.h"
#include "platform/qt/OkCancel.h"
#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

constexpr int lowestLevelDb = -40;

// "System default" first (an empty name), then the devices; a chosen device that is
// absent stays listed as such, so opening the dialog never changes the choice.
void fillDeviceList(QComboBox* list, const std::vector<AudioDeviceEntry>& devices, const std::string& chosen)
{
    list->clear();
    list->addItem(QStringLiteral("System default"), QString());
    bool present = chosen.empty();
    for (const AudioDeviceEntry& device : devices) {
        list->addItem(QString::fromStdString(device.description), QString::fromStdString(device.name));
        present = present || device.name == chosen;
    }
    if (!present)
        list->addItem(QStringLiteral("%1 (absent)").arg(QString::fromStdString(chosen)), QString::fromStdString(chosen));
    list->setCurrentIndex(list->findData(QString::fromStdString(chosen)));
}

std::string selectedName(const QComboBox* list) { return list->currentData().toString().toStdString(); }

struct DeviceLists {
    QComboBox* output;
    QComboBox* input;

    void refill()
    {
        const AudioDeviceList devices = listAudioDevices();
        fillDeviceList(output, devices.outputs, selectedName(output));
        fillDeviceList(input, devices.inputs, selectedName(input));
    }
};

QSpinBox* makeLevelBox(QWidget* parent, double levelDb)
{
    auto* level = new QSpinBox(parent);
    level->setRange(lowestLevelDb, 0);
    level->setSuffix(QStringLiteral(" dB"));
    level->setValue(static_cast<int>(levelDb));
    return level;
}

}  // namespace

bool runSoundDevicesDialog(WindowHandle window, SoundChoice& choice)
{
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Sound Devices"));
    auto* form = new QFormLayout(&dialog);
    DeviceLists lists{new QComboBox(&dialog), new QComboBox(&dialog)};
    lists.output->setObjectName(QStringLiteral("output"));
    lists.input->setObjectName(QStringLiteral("input"));
    fillDeviceList(lists.output, {}, choice.output);
    fillDeviceList(lists.input, {}, choice.input);
    lists.refill();
    QSpinBox* level = makeLevelBox(&dialog, choice.txLevelDb);
    level->setObjectName(QStringLiteral("txLevel"));
    form->addRow(QStringLiteral("&Output (transmit):"), lists.output);
    form->addRow(QStringLiteral("&Input (receive):"), lists.input);
    form->addRow(QStringLiteral("Transmit &level:"), level);
    addOkCancel(dialog, form);
    // Word of a change arrives on the sound server's thread; the lists are refilled here.
    // A refill still queued when the dialog ends goes with it.
    watchAudioDevices([&dialog, &lists] {
        QMetaObject::invokeMethod(&dialog, [&lists] { lists.refill(); }, Qt::QueuedConnection);
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    stopWatchingAudioDevices();
    if (accepted)
        choice = SoundChoice{selectedName(lists.output), selectedName(lists.input), static_cast<double>(level->value())};
    return accepted;
}

}  // namespace q60
