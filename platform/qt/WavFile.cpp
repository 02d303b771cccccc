// SPDX-License-Identifier: GPL-3.0-or-later
// WAV output on libsndfile, for the codec's encode and the program's audio recording.
#include "platform/qt/WavFile.h"

#include <sndfile.h>

#include "tx/ToneFormat.h"

namespace q60 {

struct WavFile {
    SNDFILE* sound;
};

WavFile* openWavFile(const std::string& path, std::string& reason)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    SNDFILE* sound = sf_open(path.c_str(), SFM_WRITE, &info);
    if (sound == nullptr) {
        reason = sf_strerror(nullptr);
        return nullptr;
    }
    return new WavFile{sound};
}

bool writeWavFile(WavFile* file, const uint8_t* bytes, size_t count, std::string& reason)
{
    if (sf_write_raw(file->sound, bytes, static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count))
        return true;
    reason = sf_strerror(file->sound);
    return false;
}

bool updateWavHeader(WavFile* file, std::string& reason)
{
    sf_command(file->sound, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    if (sf_error(file->sound) == SF_ERR_NO_ERROR)
        return true;
    reason = sf_strerror(file->sound);
    return false;
}

bool closeWavFile(WavFile* file, std::string& reason)
{
    const int status = sf_close(file->sound);
    delete file;
    if (status == 0)
        return true;
    reason = sf_error_number(status);
    return false;
}

}  // namespace q60
