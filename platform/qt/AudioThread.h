#pragma once
// The sound server connection every sound device of the program shares: one libpulse
// context served by one threaded main loop of its own, so a busy window thread never
// starves the sound card. Connected on first use and again whenever a device is opened
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

// The 8-bit unsigned mono sample format of the system at the given rate.
pa_sample_spec unsignedMonoSpec(uint32_t samplesPerSecond);

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
