// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Audio files of the codec tool: the transmitted tone out as WAV, any recording in
// as the receiver's 11025 Hz byte stream. Both work in fixed-size blocks, so memory
// does not grow with the length of a file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/qt/WavFile.h"

namespace q60 {

// An 11025 Hz, mono, 8-bit unsigned PCM WAV file whose data bytes are exactly the
// bytes written. A file that is not finished is removed when the writer goes away.
class WavWriter {
public:
    explicit WavWriter(std::string path);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Each of these reports a failure on stderr and returns false.
    bool open();
    bool write(const uint8_t* bytes, size_t count);
    bool finish();

private:
    std::string path_;
    WavFile* file_ = nullptr;
};

using ByteSink = std::function<void(const uint8_t* bytes, size_t count)>;

// Feeds the first channel of any file libsndfile opens to sink as 11025 Hz 8-bit
// unsigned samples, block by block: such a file byte for byte, others converted and
// resampled. Reports on stderr and returns false when the file cannot be used.
bool streamAudioBytes(const std::string& path, const ByteSink& sink);

}  // namespace q60
