// SPDX-License-Identifier: GPL-3.0-or-later
// Test implementation of platform/Rig.h: a rig on any device but "absent", every
// call logged.
#include <string>

#include "platform/Rig.h"
#include "platform/fake/FakePlatform.h"

namespace q60 {

struct Rig {
    int model;
};

using fake::log;

RigHandle openRig(int model, const std::string& device, int baud, std::string& error)
{
    log("openRig " + std::to_string(model) + " " + device + " " + std::to_string(baud));
    if (device == "absent") {
        error = "rig on absent does not answer";
        return nullptr;
    }
    return new Rig{model};
}

bool setRigPtt(RigHandle, bool keyed, std::string&)
{
    log("setRigPtt " + std::to_string(keyed));
    return true;
}

int rigPtt(RigHandle) { return rigPttUnknown; }

void closeRig(RigHandle rig)
{
    log("closeRig");
    delete rig;
}

}  // namespace q60
