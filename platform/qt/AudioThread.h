// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound server connection every sound device of the program shares: one libpulse
// context served by the audio loop's thread (platform/qt/AudioLoop.h), so a busy
// window thread never starves the sound card. Connected on first use and again whenever a device is opened
// after the server went away.
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <string>

namespace q60 {

// Holds the main loop's lock for its lifetime; every libpulse call outside the loop's
// own callbacks is made under it.
class AudioLock {
public:
    AudioLock();
    ~AudioLock();
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

// The context, connected (again if it was lost); null when no server answers. Call
// under an AudioLock.
pa_context* connectedAudioContext();

// Waits, under an AudioLock, until a stream is ready (true) or has failed (false).
bool waitForStream(pa_stream* stream);

// Waits, under an AudioLock, until an operation has ended, then lets it go.
void waitForOperation(pa_operation* operation);

// True while the server still answers: a stream that failed then lost its device.
bool audioServerAnswers();

// Wakes a waitForStream or waitForOperation; the stream state callback of every stream.
void signalAudioWaiters(pa_stream* stream, void* userdata);

// True when the server answers (connecting again if it was lost).
bool audioServerConnects();

// A new stream of the system's one sample format, 8-bit unsigned mono at the given
// rate, named for the mixer; null when no server answers. Call under an AudioLock.
pa_stream* newAudioStream(const char* name, uint32_t samplesPerSecond);

// Buffer attributes in seconds at the given rate; 0 leaves one to the server.
pa_buffer_attr audioBufferAttributes(uint32_t samplesPerSecond, double target, double request, double fragment);

// Ends a stream made by newAudioStream: no callback reaches its device afterwards.
// Call under an AudioLock.
void endAudioStream(pa_stream*& stream);

// A device that could not be opened: "Could not <doing> <device>: <why>. Check ...".
void noteSoundOpenFailure(const std::string& doing, const std::string& device);

// "the output "radio"", or "the system default output" for an empty name.
std::string soundDeviceName(const char* kind, const std::string& name);

// Why the last sound device failed to open, for a Linux user: the device and what
// to check. Set by the devices, taken (and cleared) by the next message box.
void noteSoundFailure(const std::string& detail);
std::string takeSoundFailure();

// What the server said about the last failed call, for those details.
std::string audioErrorText();

// Ends the connection and the main loop once every device is released. Call before
// the application object ends.
void endAudioThread();

}  // namespace q60
