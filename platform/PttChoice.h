// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How push-to-talk keys the radio, as "station.ini" and the push-to-talk dialog
// choose it.
#include <string>

namespace q60 {

enum class PttMethod { serial, cat, none };
enum class PttLines { rtsDtr, rts, dtr };

struct PttChoice {
    PttMethod method = PttMethod::serial;
    std::string device;  // serial: a path in place of COM n; cat: a path or host:port
    PttLines lines = PttLines::rtsDtr;
    bool inverted = false;  // keyed = the lines low
    int model = 0;          // Hamlib's rig model number
    int baud = 0;           // 0: the model's own rate
};

}  // namespace q60
