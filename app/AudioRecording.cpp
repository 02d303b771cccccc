// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the bytes each drain hands to the receive chain; produces one WAV file a
// reception (RX on to RX off) in the pictures folder. Window thread only.
#include "app/AudioRecording.h"

#include <cstdint>
#include <ctime>

#include "app/MainDialog.h"
#include "app/Pictures.h"
#include "app/Station.h"
#include "platform/AudioFile.h"
#include "platform/StationFile.h"
#include "rx/RxRecorder.h"

namespace q60 {
namespace {

const char* const recordAudioKey = "pictures/recordAudio";

// Settings.
bool recordingAudio = false;
std::string picturesFolder;

// The file being written, if any, and why the last write failed.
bool fileRunning = false;
std::string filePath;
std::string failure;
std::string lastStem;  // the time in the last file's name, and how many files had it
int sameSecond = 0;

void setRecordingAudio(WindowHandle window, bool on)
{
    recordingAudio = on;
    checkMenuItem(window, cmdRecordAudio, on);
}

void endFile()
{
    stopAudioFile();
    fileRunning = false;
}

// A recording started within the same second as the one before gets "-2" (and so
// on) after the time, rather than replacing it.
std::string nextFileName()
{
    const std::string stem = utcFileStem(std::time(nullptr));
    sameSecond = stem == lastStem ? sameSecond + 1 : 1;
    lastStem = stem;
    return sameSecond > 1 ? stem + "-" + std::to_string(sameSecond) + ".wav" : stem + ".wav";
}

bool startFile()
{
    const std::string name = nextFileName();
    filePath = picturesFolder + "/" + name;
    std::string reason;
    fileRunning = startAudioFile(picturesFolder, name, reason);
    if (!fileRunning)
        failure = "Cannot record audio in \"" + filePath + "\": " + reason;
    return fileRunning;
}

// Called inside the drain: a failure is only noted here, and the tick after the
// drain stops the recording and tells the user.
void keepReceivedBytes(const uint8_t* bytes, size_t count)
{
    if (!recordingAudio || !failure.empty() || (!fileRunning && !startFile()))
        return;
    std::string reason;
    if (writeAudioFile(bytes, count, reason))
        return;
    endFile();
    failure = "Cannot record audio in \"" + filePath + "\": " + reason;
}

}  // namespace

MenuItemText audioRecordingMenuItem() { return {cmdRecordAudio, "Record &Audio"}; }

void initAudioRecording(WindowHandle window, const std::string& folder)
{
    picturesFolder = folder;
    const StationEntries entries = readStationFile(stationPath);
    const auto found = entries.find(recordAudioKey);
    setRecordingAudio(window, found != entries.end() && found->second == "true");
    setCaptureTap(keepReceivedBytes);
}

void audioRecordingCommand(WindowHandle window, int id)
{
    if (id != cmdRecordAudio)
        return;
    setRecordingAudio(window, !recordingAudio);
    if (!recordingAudio)
        endFile();
    writeStationFile(stationPath, {{recordAudioKey, recordingAudio ? "true" : "false"}});
}

void endAudioRecording()
{
    if (fileRunning)
        endFile();
}

void audioRecordingTick(WindowHandle window)
{
    if (fileRunning && !rxActive)
        endFile();
    if (failure.empty())
        return;
    const std::string text = failure;
    failure.clear();
    setRecordingAudio(window, false);
    writeStationFile(stationPath, {{recordAudioKey, "false"}});
    showMessage(window, text.c_str());
}

}  // namespace q60
