// SPDX-License-Identifier: GPL-3.0-or-later
// Brings captured audio into the receive chain: the RX command starts and stops the
// capture device, and the window's 500 ms timer drains it. Window thread only.
#include "rx/RxRecorder.h"

#include "platform/Audio.h"
#include "rx/FilterBank.h"
#include "rx/PictureAssembler.h"
#include "rx/TuningSpectrum.h"
#include "tx/ToneFormat.h"

namespace q60 {
namespace {

CaptureHandle recordDevice = nullptr;

// The first byte not yet handed on; moved only by a drain that got its lock.
uint32_t readOffset = 0;

CaptureTap captureTap = nullptr;

// The tuning aid and Record Audio hear exactly what the picture is made of.
void handOn(const uint8_t* bytes, size_t count)
{
    receiveBytes(bytes, count);
    tuningSpectrumBytes(bytes, count);
    if (captureTap != nullptr)
        captureTap(bytes, count);
}

// A start that fails part way keeps nothing: the next start obtains all anew anyway.
int32_t failStart()
{
    releaseCaptureDevice(recordDevice);
    recordDevice = nullptr;
    return 1;
}

}  // namespace

int32_t startRx()
{
    readOffset = 0;
    recordDevice = openCaptureDevice();
    if (recordDevice == nullptr)
        return 1;
    if (!createCaptureBuffer(recordDevice, recordBufferBytes, sampleRate))
        return failStart();
    if (!startCapture(recordDevice))
        return failStart();
    restoreDefaultFilters();
    return 0;
}

void stopRx()
{
    stopCapture(recordDevice);
    releaseCaptureDevice(recordDevice);
    recordDevice = nullptr;
}

// A failed query or lock leaves readOffset alone, so the next tick takes these bytes
// together with the newer ones.
void drainCapture()
{
    uint32_t readPosition = 0;
    if (!capturePosition(recordDevice, readPosition))
        return;
    const uint32_t length = readPosition >= readOffset ? readPosition - readOffset
                                                       : recordBufferBytes - readOffset + readPosition;
    BufferRegions regions;
    if (!lockCaptureBuffer(recordDevice, readOffset, length, regions))
        return;
    readOffset = readPosition;
    handOn(regions.first, regions.firstBytes);
    if (regions.secondBytes != 0)
        handOn(regions.second, regions.secondBytes);
    unlockCaptureBuffer(recordDevice, regions);
}

void setCaptureTap(CaptureTap tap) { captureTap = tap; }

uint32_t rxHoles()
{
    return recordDevice == nullptr ? 0 : captureHoles(recordDevice);
}

}  // namespace q60
