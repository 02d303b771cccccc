// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound card as transmitter and receiver need it: the default playback device
// with one looping playback buffer, written in place while it plays, and the default
// capture device with one looping capture buffer, read in place while it records;
// 8-bit unsigned mono samples both.
#include <cstdint>

#include "platform/Window.h"

namespace q60 {

struct PlaybackDevice;
using PlaybackHandle = PlaybackDevice*;

// A span of a looping buffer as one or two regions; the second is non-empty only
// when the span runs past the buffer's end and wraps to its start.
struct BufferRegions {
    uint8_t* first = nullptr;
    uint32_t firstBytes = 0;
    uint8_t* second = nullptr;
    uint32_t secondBytes = 0;
};

// The regions of length bytes from offset in a looping buffer of size bytes at base,
// for implementations of the locks below.
inline BufferRegions spanRegions(uint8_t* base, uint32_t size, uint32_t offset, uint32_t length)
{
    BufferRegions regions;
    regions.first = base + offset;
    regions.firstBytes = length < size - offset ? length : size - offset;
    regions.second = base;
    regions.secondBytes = length - regions.firstBytes;
    return regions;
}

// Opens the chosen (platform/SoundChoice.h) or default playback device for the window, shared with other programs, and
// keeps its output running; null when there is no device. When the device fails
// later (the sound server goes away), the window receives a PlaybackLost message.
PlaybackHandle openPlaybackDevice(WindowHandle window);

// Creates the looping buffer of the given size at the given rate (8-bit unsigned
// mono), audible whether or not the window has the focus.
bool createPlayBuffer(PlaybackHandle device, uint32_t bytes, uint32_t samplesPerSecond);

// Starts the buffer playing, looping, from offset 0.
bool startPlayBuffer(PlaybackHandle device);

// The byte offset the device is playing from (0 to buffer size - 1). Any thread.
uint32_t playPosition(PlaybackHandle device);

// Write access to length bytes from offset, wrapping at the end; false with
// nothing granted on failure. Every successful lock is followed by an unlock.
bool lockPlayBuffer(PlaybackHandle device, uint32_t offset, uint32_t length, BufferRegions& regions);
void unlockPlayBuffer(PlaybackHandle device, const BufferRegions& regions);

// Holes in the tone since the buffer started: times the device ran out of bytes.
uint32_t playbackHoles(PlaybackHandle device);

void stopPlayBuffer(PlaybackHandle device);

// Ends the device and everything made from it; the handle is invalid afterwards.
void releasePlaybackDevice(PlaybackHandle device);

// ---- Capture ----

struct CaptureDevice;
using CaptureHandle = CaptureDevice*;

// Opens the chosen or default capture device; null when there is none.
CaptureHandle openCaptureDevice();

// Creates the looping capture buffer of the given size at the given rate (8-bit
// unsigned mono).
bool createCaptureBuffer(CaptureHandle device, uint32_t bytes, uint32_t samplesPerSecond);

// Starts recording into the buffer continuously from offset 0, wrapping at its end.
bool startCapture(CaptureHandle device);

// The offset up to which captured bytes are complete; false when it cannot be told.
bool capturePosition(CaptureHandle device, uint32_t& readPosition);

// Read access to length bytes from offset, wrapping at the end; false with nothing
// granted on failure. Every successful lock is followed by an unlock.
bool lockCaptureBuffer(CaptureHandle device, uint32_t offset, uint32_t length, BufferRegions& regions);
void unlockCaptureBuffer(CaptureHandle device, const BufferRegions& regions);

// Holes in the recording since capture started: bytes the device dropped or that
// were written over before they were read.
uint32_t captureHoles(CaptureHandle device);

void stopCapture(CaptureHandle device);

// Ends the device and everything made from it; the handle is invalid afterwards.
void releaseCaptureDevice(CaptureHandle device);

}  // namespace q60
