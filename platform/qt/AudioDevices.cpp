// SPDX-License-Identifier: GPL-3.0-or-later
// Lists the server's sinks and sources and subscribes to their changes, on the
// connection every sound device shares.
#include "platform/qt/AudioDevices.h"

#include "platform/qt/AudioThread.h"

namespace q60 {
namespace {

std::function<void()> onChange;  // main loop's lock

template <typename Info>
void collect(pa_context*, const Info* info, int endOfList, void* userdata)
{
    if (endOfList == 0 && info != nullptr)
        static_cast<std::vector<AudioDeviceEntry>*>(userdata)->push_back(
            {info->name, info->description != nullptr ? info->description : info->name});
    signalAudioWaiters(nullptr, nullptr);
}

void onEvent(pa_context*, pa_subscription_event_type_t event, uint32_t, void*)
{
    const auto type = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (onChange && type != PA_SUBSCRIPTION_EVENT_CHANGE)
        onChange();
}

void onSubscribed(pa_context*, int, void*) { signalAudioWaiters(nullptr, nullptr); }

}  // namespace

AudioDeviceList listAudioDevices()
{
    AudioDeviceList list;
    const AudioLock lock;
    pa_context* context = connectedAudioContext();
    if (context == nullptr)
        return list;
    waitForOperation(pa_context_get_sink_info_list(context, collect<pa_sink_info>, &list.outputs));
    waitForOperation(pa_context_get_source_info_list(context, collect<pa_source_info>, &list.inputs));
    return list;
}

void watchAudioDevices(std::function<void()> changed)
{
    const AudioLock lock;
    onChange = std::move(changed);
    pa_context* context = connectedAudioContext();
    if (context == nullptr)
        return;
    pa_context_set_subscribe_callback(context, onEvent, nullptr);
    const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE);
    waitForOperation(pa_context_subscribe(context, mask, onSubscribed, nullptr));
}

void stopWatchingAudioDevices()
{
    const AudioLock lock;
    onChange = nullptr;
}

}  // namespace q60
