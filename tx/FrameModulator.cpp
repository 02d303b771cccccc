// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the TxFrame (or the test ramp) and produces one frame of 8-bit tone in
// synthBuffer; the transmit feeder thread calls modulateFrame once per frame it sends.
#include "tx/FrameModulator.h"

#include <cmath>

#include "tx/CallOverlay.h"

namespace q60 {

std::atomic<uint8_t> TxFrame[txFrameBytes] = {};
uint8_t* synthBuffer = nullptr;
std::atomic<bool> testPicture{false};

namespace {

constexpr double toneAmplitude = 80.0;
constexpr double toneCentre = sampleCentre;
constexpr double syncIncrement = 0.683864;  // radians per sample, 1200 Hz
constexpr double blackIncrement = 0.854;    // grey 0, about 1498.5 Hz
constexpr double greyStep = 0.00175;        // per grey level, about 3.07 Hz

// Running state of the frame being built; used by the feeder thread alone.
uint8_t* synthCursor = nullptr;
double phase = 0.0;

void advancePhase(double step)
{
    phase = phase + step;
    if (phase >= phaseWrap)
        phase = phase - phaseWrap;
}

void writeSample()
{
    const double value = std::sin(phase) * toneAmplitude + toneCentre;
    *synthCursor++ = static_cast<uint8_t>(static_cast<int32_t>(value));
}

void writeFrameSync()
{
    for (int k = 0; k < frameSyncSamples; ++k) {
        advancePhase(syncIncrement);
        writeSample();
    }
}

double pixelStep(int n, int i)
{
    if (i < lineSyncPixels)
        return syncIncrement;
    return sentGrey(n, i) * greyStep + blackIncrement;
}

void writeLine(int n)
{
    for (int i = 0; i < pixelsPerLine; ++i) {
        const double step = pixelStep(n, i);
        for (int twice = 0; twice < 2; ++twice) {
            advancePhase(step);
            writeSample();
        }
    }
}

}  // namespace

// The call sign lies over whatever is sent, the test ramp included.
uint8_t sentGrey(int n, int i)
{
    const int overlay = callOverlayGrey(n, i);
    if (overlay >= 0)
        return static_cast<uint8_t>(overlay);
    if (testPicture.load(std::memory_order_relaxed))
        return static_cast<uint8_t>(3 * i);
    return TxFrame[pixelsPerLine * n + i].load(std::memory_order_relaxed);
}

void setTxFrame(const uint8_t* source, size_t length)
{
    for (size_t k = 0; k < length && k < txFrameBytes; ++k)
        TxFrame[k].store(source[k], std::memory_order_relaxed);
}

int modulateFrame()
{
    if (synthBuffer == nullptr)
        return 0;
    synthCursor = synthBuffer;
    phase = 0.0;
    writeFrameSync();
    for (int n = 0; n < sentLines; ++n)
        writeLine(n);
    return static_cast<int>(synthCursor - synthBuffer);
}

}  // namespace q60
