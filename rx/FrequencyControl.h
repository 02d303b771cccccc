// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Automatic frequency control: measures how far the received tones lie off the sent
// ones, from the 1200 Hz frame sync, and moves the demodulator's 2000 Hz mixer by as
// much, so a mistuned SSB receiver gives the levels of a tuned one.
namespace q60 {

// Off by default: the mixer stays where it is specified, bit for bit. Switching on or
// off restarts the measurement from no offset. Window thread only, as the chain.
void setFrequencyControl(bool on);
bool frequencyControlActive();

// The offset in force, in Hz: positive when every tone arrives that much high.
double frequencyOffsetHz();

// What the demodulator adds to its oscillator's step, radians per sample: 0 when off.
double mixerCorrection();

// The demodulator's low-pass outputs for each sample while active, this one and the
// one before; the mixer moves at the end of each frame's worth of them.
void measureFrequency(float c, float s, float prevC, float prevS);

}  // namespace q60
