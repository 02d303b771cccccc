// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the codec's audio input: any bytes as a file for libsndfile, streamed to the
// receiver as 11025 Hz 8-bit samples (converted, first channel, resampled) as
// "quorrel60-codec decode" does. Blocks are never larger than the converter's block.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "tools/CodecAudio.h"

namespace {

constexpr size_t largestBlock = 16384;  // the codec's block of samples (tools/CodecAudio.cpp)
std::string inputPath;  // in the scratch directory

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    q60::fuzz::makeScratchDirectory();
    inputPath = q60::fuzz::scratchPath("input.audio");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    q60::fuzz::writeWholeFile(inputPath, data, size);
    size_t samples = 0;
    unsigned checksum = 0;
    q60::streamAudioBytes(inputPath, [&](const uint8_t* bytes, size_t count) {
        q60::fuzz::check(count <= largestBlock, "a block larger than the codec's block");
        for (size_t k = 0; k < count; ++k)
            checksum += bytes[k];  // every byte handed over is read
        samples += count;
    });
    // Keeps the reads above from being optimised away.
    volatile unsigned sink = checksum + static_cast<unsigned>(samples);
    (void)sink;
    return 0;
}
