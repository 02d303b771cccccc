// SPDX-License-Identifier: GPL-3.0-or-later
// How many times faster than real time the receive chain and the frame modulator
// run on one core. x_realtime is samples handled per second over the sampleRate.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "rx/ClockCorrection.h"
#include "rx/FilterBank.h"
#include "rx/FrequencyControl.h"
#include "rx/PictureAssembler.h"
#include "rx/TuningSpectrum.h"
#include "tx/FrameModulator.h"
#include "video/FrameGrabber.h"

namespace q60 {
namespace {

constexpr int toneFrames = 4;          // whole frames, so the loop's seam is a frame boundary
constexpr int defaultSetEntries = 12;  // half a 23-tap set plus its centre
constexpr int32_t captureCentre = 128; // an unsigned 8-bit capture's silence

enum class Picture { testRamp, camera };
enum class Filters { defaults, longest };

// Points synthBuffer at memory of its own for as long as it lives.
class SynthMemory {
public:
    SynthMemory() : bytes_(synthBufferBytes) { synthBuffer = bytes_.data(); }
    ~SynthMemory() { synthBuffer = nullptr; }
    SynthMemory(const SynthMemory&) = delete;
    SynthMemory& operator=(const SynthMemory&) = delete;

    const uint8_t* data() const { return bytes_.data(); }

private:
    std::vector<uint8_t> bytes_;
};

// What a camera sees: a background lit from above, a bright oval in front of it
// and a little sensor noise, so neighbouring pixels rarely repeat.
uint8_t cameraGrey(int x, int y, uint32_t& noise)
{
    noise = noise * 1664525U + 1013904223U;
    const int dx = x - cameraWidth / 2;
    const int dy = y - cameraHeight / 2;
    const bool inOval = 4 * dx * dx + 9 * dy * dy < 40 * 40 * 4;
    const int base = inOval ? 200 - dy : 150 - y;
    return static_cast<uint8_t>(std::clamp(base + static_cast<int>(noise >> 28) - 8, 0, 255));
}

std::vector<uint8_t> cameraLikeFrame()
{
    std::vector<uint8_t> frame(cameraFrameBytes);
    uint32_t noise = 1;
    for (int y = 0; y < cameraHeight; ++y) {
        for (int x = 0; x < cameraWidth; ++x) {
            uint8_t* pixel = frame.data() + 3 * (y * cameraWidth + x);
            std::fill(pixel, pixel + 3, cameraGrey(x, y, noise));
        }
    }
    return frame;
}

void selectPicture(Picture picture)
{
    testPicture.store(picture == Picture::testRamp);
    if (picture == Picture::camera)
        reduceFrame(cameraLikeFrame().data());
}

// A few frames of the test ramp as the recorder hands them on: byte minus 128.
std::vector<int32_t> receivedTone()
{
    selectPicture(Picture::testRamp);
    const SynthMemory memory;
    std::vector<int32_t> tone;
    for (int frame = 0; frame < toneFrames; ++frame) {
        const int written = modulateFrame();
        for (int k = 0; k < written; ++k)
            tone.push_back(memory.data()[k] - captureCentre);
    }
    return tone;
}

// Zeros before the default set give the same response over more taps.
void padDefaultSet(float* coeffs, int count)
{
    std::copy_backward(coeffs, coeffs + defaultSetEntries, coeffs + count);
    std::fill(coeffs, coeffs + count - defaultSetEntries, 0.0F);
}

// The receiver starts with the defaults; the longest lengths are the dearest it can be set to.
void selectFilters(Filters filters)
{
    restoreDefaultFilters();
    if (filters == Filters::defaults)
        return;
    padDefaultSet(highPassCoeffs, highPassCoeffCount);
    padDefaultSet(lowPassCoeffs, lowPassCoeffCount);
    highPass63 = 1;
    lowPass23 = 0;
}

void reportRealTime(benchmark::State& state, int64_t samplesPerIteration)
{
    const int64_t samples = state.iterations() * samplesPerIteration;
    state.SetItemsProcessed(samples);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(samples) / sampleRate, benchmark::Counter::kIsRate);
}

void receiveChain(benchmark::State& state, Filters filters)
{
    const std::vector<int32_t> tone = receivedTone();
    selectFilters(filters);
    for ([[maybe_unused]] auto pass : state) {
        for (const int32_t sample : tone)
            receiveSample(sample);
    }
    benchmark::DoNotOptimize(RxPicture);
    reportRealTime(state, static_cast<int64_t>(tone.size()));
}

void modulator(benchmark::State& state, Picture picture)
{
    selectPicture(picture);
    const SynthMemory memory;
    for ([[maybe_unused]] auto frame : state) {
        benchmark::DoNotOptimize(modulateFrame());
        benchmark::ClobberMemory();
    }
    reportRealTime(state, frameSamples);
}

// The same tone as captured bytes, handed on a window tick's worth (half a second) at a time.
void receiveChainInBlocks(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    for (const int32_t sample : receivedTone())
        bytes.push_back(static_cast<uint8_t>(sample + captureCentre));
    selectFilters(Filters::defaults);
    constexpr size_t tick = sampleRate / 2;
    for ([[maybe_unused]] auto pass : state) {
        for (size_t k = 0; k < bytes.size(); k += tick)
            receiveBytes(bytes.data() + k, std::min(tick, bytes.size() - k));
    }
    benchmark::DoNotOptimize(RxPicture);
    reportRealTime(state, static_cast<int64_t>(bytes.size()));
}

// The receiver's options on: fast lock and the clock tracked, resampling every sample.
void correctedReceiveChain(benchmark::State& state)
{
    fastLock = true;
    setClockTracking(true);
    receiveChain(state, Filters::defaults);
    setClockTracking(false);
    fastLock = false;
}

BENCHMARK_CAPTURE(receiveChain, default_filters, Filters::defaults);
BENCHMARK(receiveChainInBlocks);
// Every correction on: besides the above, frequency control (a phase step per sample)
// and sturdy sync (its two matched filters), through receiveBytes as the codec does.
void fullyCorrectedReceiveChain(benchmark::State& state)
{
    fastLock = true;
    setClockTracking(true);
    setFrequencyControl(true);
    setSturdySync(true);
    receiveChainInBlocks(state);
    setSturdySync(false);
    setFrequencyControl(false);
    setClockTracking(false);
    fastLock = false;
}

BENCHMARK(correctedReceiveChain);
BENCHMARK(fullyCorrectedReceiveChain);
BENCHMARK_CAPTURE(receiveChain, longest_filters, Filters::longest);
BENCHMARK_CAPTURE(modulator, test_ramp, Picture::testRamp);
BENCHMARK_CAPTURE(modulator, camera_picture, Picture::camera);

// The tuning aid's analysis alone, as the window tick asks for it: half a second of
// captured bytes, then a look.
void tuningSpectrum(benchmark::State& state)
{
    std::vector<uint8_t> bytes;
    for (const int32_t sample : receivedTone())
        bytes.push_back(static_cast<uint8_t>(sample + captureCentre));
    enableTuningSpectrum(true);
    constexpr size_t tick = sampleRate / 2;
    for ([[maybe_unused]] auto pass : state) {
        for (size_t k = 0; k < bytes.size(); k += tick) {
            tuningSpectrumBytes(bytes.data() + k, std::min(tick, bytes.size() - k));
            benchmark::DoNotOptimize(takeTuningLook());
        }
    }
    enableTuningSpectrum(false);
    reportRealTime(state, static_cast<int64_t>(bytes.size()));
}

BENCHMARK(tuningSpectrum);

}  // namespace
}  // namespace q60
