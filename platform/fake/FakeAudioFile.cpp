// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/AudioFile.h: recordings are kept in memory.
#include "platform/fake/FakeAudioFile.h"

#include <limits>

#include "platform/AudioFile.h"

namespace q60::fake {
namespace {

std::vector<RecordedAudio> recordings;
size_t room = std::numeric_limits<size_t>::max();

}  // namespace

std::vector<RecordedAudio> recordedAudio() { return recordings; }
void fillAudioDiskAfter(size_t bytes) { room = bytes; }

}  // namespace q60::fake

namespace q60 {

bool startAudioFile(const std::string& folder, const std::string& name, std::string&)
{
    stopAudioFile();
    fake::recordings.push_back(fake::RecordedAudio{folder, name, {}, true});
    return true;
}

bool writeAudioFile(const uint8_t* bytes, size_t count, std::string& reason)
{
    if (fake::recordings.empty() || !fake::recordings.back().running || count > fake::room) {
        reason = "No space left on device";
        return false;
    }
    fake::room -= count;
    fake::recordings.back().bytes.insert(fake::recordings.back().bytes.end(), bytes, bytes + count);
    return true;
}

void stopAudioFile()
{
    if (!fake::recordings.empty())
        fake::recordings.back().running = false;
}

}  // namespace q60
