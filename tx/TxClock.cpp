// SPDX-License-Identifier: GPL-3.0-or-later
// Consumes the frames of tone the transmit feeder built; produces them at the rate the
// station's card needs, by the receiver's resampler. The feeder thread alone calls
// correctTxClock, the window thread sets the error before it starts.
#include "tx/TxClock.h"

#include <algorithm>
#include <cmath>

#include "rx/ClockCorrection.h"
#include "rx/Resampler.h"

namespace q60 {
namespace {

double ppmInForce = 0.0;
Resampler resampler;

}  // namespace

void setTxClockCorrection(double ppm)
{
    ppmInForce = std::isfinite(ppm) ? std::clamp(ppm, -maxClockPpm, maxClockPpm) : 0.0;
    restartResampler(resampler, 1.0 / (1.0 + ppmInForce * 1e-6));
}

double txClockCorrectionPpm() { return ppmInForce; }

// The interpolation can overshoot a full-scale tone a little: held to the byte's range.
int correctTxClock(const uint8_t* tone, int length, uint8_t* out)
{
    int written = 0;
    for (int k = 0; k < length; ++k)
        resampleSample(resampler, int32_t{tone[k]} - sampleCentre, [out, &written](int32_t sample) {
            if (written < maxCorrectedFrameBytes)
                out[written++] = static_cast<uint8_t>(std::clamp(sample + sampleCentre, 0, 255));
        });
    return written;
}

}  // namespace q60
