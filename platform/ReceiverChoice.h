// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver's options and the station's own clock error, as "station.ini" and the
// receiver dialog choose them; every one is off by default.
namespace q60 {

enum class ClockMode { off, fixed, automatic };

struct ReceiverChoice {
    ClockMode clock = ClockMode::off;
    double rxPpm = 0.0;     // fixed: the receiving card's rate error, + samples fast
    bool fastLock = false;  // the line phase jumps into line once enough line syncs agree
    double txPpm = 0.0;     // the transmitting card's rate error, + plays fast
    int integrate = 1;      // complete pictures averaged in the picture window, 1 (off) to 16
    bool frequencyControl = false;  // the mixer follows a mistuned receiver
    bool sturdySync = false;        // syncs taken only where due and only when they last
};

}  // namespace q60
