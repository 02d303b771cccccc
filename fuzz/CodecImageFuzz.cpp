// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the codec's picture input: any bytes as a picture file for QImage, made the
// TxFrame as "quorrel60-codec encode" does (an 8-bit grey 80x60 picture as it is, any
// other scaled to cover 160x120 keeping its aspect, cut at the centre and reduced by
// the frame grabber), then sent with a call sign over it as "encode --call" sends it.
// The call is the input's last bytes, whatever they are, so the overlay meets every
// length and character. Like the codec, it runs without a QGuiApplication: decoding
// and scaling need none.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "tools/CodecImage.h"
#include "tx/CallOverlay.h"
#include "tx/FrameModulator.h"

namespace {

std::string inputPath;  // in the scratch directory
constexpr size_t callBytes = q60::callOverlayMaxCharacters + 1;  // one more than is drawn

// Every pixel the modulator would send, read so that none of the work is skipped.
int sentSum()
{
    int sum = 0;
    for (int n = 0; n < q60::txFrameLines; ++n)
        for (int i = 0; i < q60::pixelsPerLine; ++i)
            sum += q60::sentGrey(n, i);
    return sum;
}

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
    if (!q60::loadTxPicture(inputPath))
        return 0;
    const size_t call = size < callBytes ? size : callBytes;
    q60::setCallOverlay(std::string_view(reinterpret_cast<const char*>(data) + size - call, call));
    volatile int sent = sentSum();
    (void)sent;
    return 0;
}
