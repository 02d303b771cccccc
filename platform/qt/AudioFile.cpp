// SPDX-License-Identifier: GPL-3.0-or-later
// The audio recording on the shared WAV writer. The receive timer hands it about
// 5.5 kB every half second, written at once: no thread of its own is needed.
#include "platform/AudioFile.h"

#include <QDir>
#include <QString>

#include "platform/qt/WavFile.h"

namespace q60 {
namespace {

WavFile* recording = nullptr;

}  // namespace

bool startAudioFile(const std::string& folder, const std::string& name, std::string& reason)
{
    stopAudioFile();
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        reason = "the folder cannot be made";
        return false;
    }
    recording = openWavFile(folder + "/" + name, reason);
    return recording != nullptr;
}

// The header follows every write, so a crash or a full disk leaves a valid file.
bool writeAudioFile(const uint8_t* bytes, size_t count, std::string& reason)
{
    if (recording == nullptr) {
        reason = "no recording runs";
        return false;
    }
    if (!writeWavFile(recording, bytes, count, reason)) {
        std::string ignored;
        updateWavHeader(recording, ignored);  // over what did reach the disk
        return false;
    }
    return updateWavHeader(recording, reason);
}

void stopAudioFile()
{
    std::string ignored;  // the header was already written with the last bytes
    if (recording != nullptr)
        closeWavFile(recording, ignored);
    recording = nullptr;
}

}  // namespace q60
