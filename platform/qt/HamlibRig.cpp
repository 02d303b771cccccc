// SPDX-License-Identifier: GPL-3.0-or-later
// The CAT rig through Hamlib, for push-to-talk. Each call waits at most a short
// timeout with no retries, so a silent rig costs well under a second. Window thread.
#include <hamlib/rig.h>
#include <pthread.h>
#include <signal.h>

#include <clocale>
#include <ctime>
#include <string>

#include "platform/Rig.h"

namespace q60 {

struct Rig {
    RIG* hamlib;
};

namespace {

const char* const timeoutMs = "400";  // the longest a rig may take to answer one command

// Held around every Hamlib call. SIGPIPE is blocked on this thread, and one that
// arrived is taken back before unblocking, so a write to a closed socket only fails.
// The numeric locale is "C" meanwhile: Hamlib 4.5 saves the name setlocale returns,
// sets "C" and restores the saved name, which that set has already freed unless the
// name was "C" to begin with (AddressSanitizer found it in rig_open).
class HamlibCall {
public:
    HamlibCall() : numericLocale(std::setlocale(LC_NUMERIC, nullptr))
    {
        std::setlocale(LC_NUMERIC, "C");
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &before);
    }
    ~HamlibCall()
    {
        const timespec none{0, 0};
        while (sigtimedwait(&pipe, nullptr, &none) == SIGPIPE) {
        }
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        std::setlocale(LC_NUMERIC, numericLocale.c_str());
    }
    HamlibCall(const HamlibCall&) = delete;
    HamlibCall& operator=(const HamlibCall&) = delete;

private:
    std::string numericLocale;  // a copy: the name setlocale returns lives only until the next call
    sigset_t pipe;
    sigset_t before;
};

void setConf(RIG* rig, const char* name, const std::string& value)
{
    rig_set_conf(rig, rig_token_lookup(rig, name), value.c_str());
}

std::string why(int status) { return std::string(rigerror(status)); }

}  // namespace

RigHandle openRig(int model, const std::string& device, int baud, std::string& error)
{
    HamlibCall call;
    rig_set_debug(RIG_DEBUG_NONE);
    RIG* rig = rig_init(model);
    if (rig == nullptr) {
        error = "no Hamlib rig model " + std::to_string(model);
        return nullptr;
    }
    setConf(rig, "rig_pathname", device);
    if (baud > 0)
        setConf(rig, "serial_speed", std::to_string(baud));
    setConf(rig, "timeout", timeoutMs);
    setConf(rig, "retry", "0");
    if (const int status = rig_open(rig); status != RIG_OK) {
        error = "rig on " + device + " does not answer: " + why(status);
        rig_cleanup(rig);
        return nullptr;
    }
    return new Rig{rig};
}

bool setRigPtt(RigHandle rig, bool keyed, std::string& error)
{
    HamlibCall call;
    const int status = rig_set_ptt(rig->hamlib, RIG_VFO_CURR, keyed ? RIG_PTT_ON : RIG_PTT_OFF);
    if (status != RIG_OK)
        error = std::string("rig did not take PTT ") + (keyed ? "on" : "off") + ": " + why(status);
    return status == RIG_OK;
}

int rigPtt(RigHandle rig)
{
    HamlibCall call;
    ptt_t ptt = RIG_PTT_OFF;
    const int status = rig_get_ptt(rig->hamlib, RIG_VFO_CURR, &ptt);
    if (status == -RIG_ENAVAIL || status == -RIG_ENIMPL)
        return rigPttUnknown;
    if (status != RIG_OK)
        return rigPttLost;
    return ptt == RIG_PTT_OFF ? 0 : 1;
}

void closeRig(RigHandle rig)
{
    HamlibCall call;
    rig_close(rig->hamlib);
    rig_cleanup(rig->hamlib);
    delete rig;
}

}  // namespace q60
