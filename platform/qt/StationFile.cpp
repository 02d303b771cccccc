// SPDX-License-Identifier: GPL-3.0-or-later
// "station.ini" in Qt's INI format: read through QSettings, written to a temporary
// file beside it that is then renamed over it.
#include "platform/StationFile.h"

#include <QFile>
#include <QSettings>
#include <unistd.h>

namespace q60 {

StationEntries readStationFile(const std::string& path)
{
    StationEntries entries;
    const QSettings file(QString::fromStdString(path), QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        return entries;
    for (const QString& key : file.allKeys())
        if (!key.isEmpty())  // a garbled line can parse as one
            entries[key.toStdString()] = file.value(key).toString().toStdString();
    return entries;
}

bool writeStationFile(const std::string& path, const StationEntries& changes)
{
    StationEntries entries = readStationFile(path);
    for (const auto& [key, value] : changes)
        entries[key] = value;
    const QString temporary = QString::fromStdString(path + "." + std::to_string(getpid()) + ".tmp");
    QFile::remove(temporary);
    {
        QSettings file(temporary, QSettings::IniFormat);
        for (const auto& [key, value] : entries)
            file.setValue(QString::fromStdString(key), QString::fromStdString(value));
        file.sync();
        if (file.status() != QSettings::NoError) {
            QFile::remove(temporary);
            return false;
        }
    }
    if (std::rename(temporary.toLocal8Bit().constData(), path.c_str()) == 0)
        return true;
    QFile::remove(temporary);
    return false;
}

}  // namespace q60
