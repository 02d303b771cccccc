// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recordings as a real radio path delivers them, for receiver tests: the modulator's
// tone resampled as a receiving sound card off by some ppm records it, shifted in
// frequency as a mistuned SSB receiver hears it, with white noise; seeded, so every
// run gets the same bytes. With no impairment the recording is the tone byte for byte.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "rx/PictureAssembler.h"
#include "tx/FrameModulator.h"

namespace q60::test {

struct Impairment {
    double ppm = 0.0;      // the receiving card's rate error; positive samples fast
    double shiftHz = 0.0;  // every tone moved by this much
    double snrDb = std::numeric_limits<double>::infinity();  // over the whole band, 0 to 5.5 kHz
    uint64_t seed = 1;
};

// frames of tone from the TxFrame (or the test ramp), as sample values around 0.
inline std::vector<double> cleanTone(int frames)
{
    std::vector<uint8_t> frame(synthBufferBytes);
    synthBuffer = frame.data();
    std::vector<double> tone;
    for (int f = 0; f < frames; ++f) {
        const int length = modulateFrame();
        for (int k = 0; k < length; ++k)
            tone.push_back(frame[k] - sampleCentre);
    }
    synthBuffer = nullptr;
    return tone;
}

// Blackman window over |d| < halfWidth.
inline double blackman(double d, int halfWidth)
{
    const double x = std::numbers::pi * d / halfWidth;
    return 0.42 + 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
}

// The tone at time t (in its own samples), by windowed sinc.
inline double valueAt(const std::vector<double>& x, double t)
{
    constexpr int halfWidth = 24;
    const auto base = static_cast<long>(std::floor(t));
    double sum = 0;
    for (long k = base - halfWidth + 1; k <= base + halfWidth; ++k) {
        const double d = t - static_cast<double>(k);
        if (k < 0 || k >= static_cast<long>(x.size()) || std::fabs(d) >= halfWidth)
            continue;
        const double sinc = d == 0 ? 1.0 : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
        sum += x[static_cast<size_t>(k)] * sinc * blackman(d, halfWidth);
    }
    return sum;
}

// One transmitted frame spans frameSamples * (1 + ppm 1e-6) received samples.
inline std::vector<double> resampledByPpm(const std::vector<double>& x, double ppm)
{
    const double step = 1.0 / (1.0 + ppm * 1e-6);
    std::vector<double> y(static_cast<size_t>(static_cast<double>(x.size()) / step));
    for (size_t n = 0; n < y.size(); ++n)
        y[n] = valueAt(x, static_cast<double>(n) * step);
    return y;
}

// Re(analytic signal * e^(j 2 pi shift t)); the Hilbert transform by a windowed FIR.
inline std::vector<double> shiftedInFrequency(const std::vector<double>& x, double shiftHz)
{
    constexpr int halfWidth = 64;
    std::vector<double> y(x.size());
    const auto size = static_cast<long>(x.size());
    for (long n = 0; n < size; ++n) {
        double quadrature = 0;
        for (long k = 1; k < halfWidth; k += 2) {
            const double tap = 2.0 / (std::numbers::pi * k) * blackman(k, halfWidth);
            quadrature += tap * ((n - k >= 0 ? x[n - k] : 0.0) - (n + k < size ? x[n + k] : 0.0));
        }
        const double angle = 2 * std::numbers::pi * shiftHz * static_cast<double>(n) / sampleRate;
        y[n] = x[n] * std::cos(angle) - quadrature * std::sin(angle);
    }
    return y;
}

// Gaussian noise from a seeded generator of our own (splitmix64, Box-Muller), so the
// recording does not depend on the standard library's distributions.
class Noise {
public:
    explicit Noise(uint64_t seed) : state_(seed) {}
    double next()
    {
        const double u1 = (static_cast<double>(bits() >> 11) + 1.0) * 0x1p-53;
        const double u2 = static_cast<double>(bits() >> 11) * 0x1p-53;
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    }

private:
    uint64_t bits()
    {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    uint64_t state_;
};

inline void addNoise(std::vector<double>& x, double snrDb, uint64_t seed)
{
    double power = 0;
    for (double v : x)
        power += v * v;
    const double sigma = std::sqrt(power / static_cast<double>(x.size()) / std::pow(10.0, snrDb / 10));
    Noise noise(seed);
    for (double& v : x)
        v += sigma * noise.next();
}

// frames of the TxFrame through the impaired path, as captured bytes minus 128.
inline std::vector<int32_t> impairedRecording(int frames, const Impairment& impairment)
{
    std::vector<double> x = cleanTone(frames);
    if (impairment.ppm != 0)
        x = resampledByPpm(x, impairment.ppm);
    if (impairment.shiftHz != 0)
        x = shiftedInFrequency(x, impairment.shiftHz);
    if (std::isfinite(impairment.snrDb))
        addNoise(x, impairment.snrDb, impairment.seed);
    std::vector<int32_t> samples(x.size());
    std::ranges::transform(x, samples.begin(), [](double v) {
        return static_cast<int32_t>(std::clamp(std::lround(v), -128L, 127L));
    });
    return samples;
}

inline void receiveRecording(const std::vector<int32_t>& samples, size_t from, size_t to)
{
    for (size_t k = from; k < std::min(to, samples.size()); ++k)
        receiveSample(samples[k]);
}

}  // namespace q60::test
