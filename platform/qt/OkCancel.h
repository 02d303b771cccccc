// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The OK and Cancel buttons the station's dialogs end with.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace q60 {

// Adds them as the form's last row, OK accepting the dialog and Cancel rejecting it.
inline void addOkCancel(QDialog& dialog, QFormLayout* form)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
}

}  // namespace q60
