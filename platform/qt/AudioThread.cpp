// SPDX-License-Identifier: GPL-3.0-or-later
// One libpulse context, on the audio loop's thread, for every sound device of the
// program.
#include "platform/qt/AudioThread.h"

#include <mutex>

#include "platform/qt/AudioLoop.h"

namespace q60 {
namespace {

// What a mixer shows for the program's streams.
constexpr const char* applicationName = "Quorrel 60line";
constexpr const char* applicationIcon = "io.github.quorrel60.Quorrel60line";

pa_context* context = nullptr;

std::mutex failureLock;  // the detail is noted on the window thread, but cheaply guarded
std::string failureDetail;

void onContextState(pa_context*, void*) { signalAudioLoop(); }

void dropContext()
{
    if (context == nullptr)
        return;
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
}

pa_context* newContext()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, applicationName);
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, applicationIcon);
    pa_context* made = pa_context_new_with_proplist(audioLoopApi(), applicationName, properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(made, onContextState, nullptr);
    return made;
}

// A server that is not running refuses the connection at once, so this never waits long.
bool connectContext()
{
    context = newContext();
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        waitAudioLoop();
    }
}

}  // namespace

AudioLock::AudioLock() { lockAudioLoop(); }

AudioLock::~AudioLock() { unlockAudioLoop(); }

pa_context* connectedAudioContext()
{
    if (context != nullptr && pa_context_get_state(context) == PA_CONTEXT_READY)
        return context;
    dropContext();
    if (connectContext())
        return context;
    dropContext();
    return nullptr;
}

bool waitForStream(pa_stream* stream)
{
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY)
            return true;
        if (!PA_STREAM_IS_GOOD(state))
            return false;
        waitAudioLoop();
    }
}

void waitForOperation(pa_operation* operation)
{
    if (operation == nullptr)
        return;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        waitAudioLoop();
    pa_operation_unref(operation);
}

bool audioServerAnswers() { return context != nullptr && pa_context_get_state(context) == PA_CONTEXT_READY; }

void signalAudioWaiters(pa_stream*, void*) { signalAudioLoop(); }

bool audioServerConnects()
{
    const AudioLock lock;
    return connectedAudioContext() != nullptr;
}

pa_stream* newAudioStream(const char* name, uint32_t samplesPerSecond)
{
    pa_context* connected = connectedAudioContext();
    const pa_sample_spec format{PA_SAMPLE_U8, samplesPerSecond, 1};
    return connected == nullptr ? nullptr : pa_stream_new(connected, name, &format, nullptr);
}

pa_buffer_attr audioBufferAttributes(uint32_t samplesPerSecond, double target, double request, double fragment)
{
    const auto bytes = [samplesPerSecond](double seconds) {
        return seconds > 0 ? static_cast<uint32_t>(seconds * samplesPerSecond) : static_cast<uint32_t>(-1);
    };
    const uint32_t serverChooses = static_cast<uint32_t>(-1);
    return pa_buffer_attr{serverChooses, bytes(target), serverChooses, bytes(request), bytes(fragment)};
}

void endAudioStream(pa_stream*& stream)
{
    if (stream == nullptr)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_set_overflow_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}

void noteSoundOpenFailure(const std::string& doing, const std::string& device)
{
    noteSoundFailure("Could not " + doing + " " + device + ": " + audioErrorText() +
                     ". Check that the sound server is running and the device is plugged in.");
}

std::string soundDeviceName(const char* kind, const std::string& name)
{
    return name.empty() ? std::string("the system default ") + kind : std::string("the ") + kind + " \"" + name + "\"";
}

void noteSoundFailure(const std::string& detail)
{
    const std::lock_guard<std::mutex> guard(failureLock);
    failureDetail = detail;
}

std::string takeSoundFailure()
{
    const std::lock_guard<std::mutex> guard(failureLock);
    std::string detail;
    detail.swap(failureDetail);
    return detail;
}

std::string audioErrorText()
{
    if (context == nullptr)
        return pa_strerror(PA_ERR_CONNECTIONREFUSED);
    return pa_strerror(pa_context_errno(context));
}

// The context is made and dropped on the window thread alone, so it can be looked at
// here without the lock; a program that never used sound starts no loop to end it.
void endAudioThread()
{
    if (context != nullptr) {
        const AudioLock lock;
        dropContext();
    }
    endAudioLoop();
}

}  // namespace q60
