// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the codec's picture input: any bytes as a picture file for QImage, made the
// TxFrame as "quorrel60-codec encode" does (an 8-bit grey 80x60 picture as it is, any
// other scaled to 160x120 and reduced by the frame grabber). Like the codec, it runs
// without a QGuiApplication: decoding and scaling need none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "tools/CodecImage.h"

namespace {

std::string inputPath;  // in the scratch directory

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    q60::fuzz::makeScratchDirectory();
    inputPath = q60::fuzz::scratchPath("input.picture");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    q60::fuzz::writeWholeFile(inputPath, data, size);
    q60::loadTxPicture(inputPath);
    return 0;
}
