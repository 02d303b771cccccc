// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Push-to-talk: keys the radio through the modem lines of a serial port, through the
// rig's CAT command, or not at all, as "station.ini" chooses.
#include <string>

#include "platform/PttChoice.h"

namespace q60 {

// The ports that the settings' TX_Port numbers stand for: 0 none, 1 "COM1", 2 "COM2".
inline constexpr const char* portNames[] = {nullptr, "COM1", "COM2"};

enum class PttState { notKeying, unkeyed, keyed, cannotKey };

struct PttStatus {
    PttState state;
    std::string detail;  // what keys the radio, or why it cannot
};

// Takes effect from the next openPort.
void choosePtt(const PttChoice& choice);
const PttChoice& chosenPtt();

PttStatus pttStatus();

// Keyed (on) or released (off); RTS before DTR on a serial port. Nothing without a
// chosen port.
void setPtt(bool on);

// Asks a keyed rig whether it still answers; one that does not is let go and shown
// as unable to key.
void checkPtt();

// Releases and closes what is open, if anything.
void closePort();

// Chooses the named port ("COM1", "COM2") with the radio unkeyed, closing the
// previous one first; "close" only closes. True when it can key afterwards, and for
// "close".
bool openPort(const char* name);

}  // namespace q60
