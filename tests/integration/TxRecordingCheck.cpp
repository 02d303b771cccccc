// SPDX-License-Identifier: GPL-3.0-or-later
// Checks a recording of the transmitter (raw 8-bit unsigned mono at 11025 Hz) against
// the test ramp's frame of tone, or the frame given: silence first, then whole frames
// back to back with no gap or slip, then silence again once transmission is off.
// Usage: tx_recording_check RECORDING MIN_LEAD_SAMPLES MIN_FRAMES [FRAME.raw]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "rx/FilterBank.h"
#include "rx/FmDemodulator.h"
#include "tx/FrameModulator.h"

namespace {

constexpr int toneLevel = 16;     // farther from 128 than this is tone, not silence
constexpr int silenceLevel = 2;   // resampling noise allowed in silence
constexpr size_t ringing = 16;    // the resamplers' filters ring a little ahead of a step
constexpr size_t searchSpan = 300;  // samples around the onset searched for the first frame
// A received frame's frequency track against the one sent. The track hardly feels
// the fraction of a sample by which the sound server's resamplers delay the tone
// (the samples themselves lose up to a sixth of their correlation to it); what is
// left is the receiver's own ripple: 0.96 to 0.98 seen, 0.57 for a flat grey frame.
constexpr double likeSent = 0.9;
// A received frame's samples against the frame before: the same but for rounding,
// since the resamplers' ratio is a whole number; a slip of one sample gives 0.5.
constexpr double likePrevious = 0.999;

using Samples = std::vector<double>;

Samples centred(const std::vector<uint8_t>& bytes)
{
    Samples samples;
    for (uint8_t byte : bytes)
        samples.push_back(byte - 128.0);
    return samples;
}

std::vector<uint8_t> rampFrame()
{
    std::vector<uint8_t> memory(q60::synthBufferBytes);
    q60::synthBuffer = memory.data();
    q60::testPicture.store(true);
    memory.resize(static_cast<size_t>(q60::modulateFrame()));
    q60::synthBuffer = nullptr;
    return memory;
}

// The receiver's discriminator output, sample by sample: the tone's frequency.
Samples frequencyTrack(const Samples& samples)
{
    Samples track;
    for (double sample : samples)
        track.push_back(q60::demodulateSample(static_cast<int32_t>(sample)));
    return track;
}

// The sent frame's track as the receiver gives it in steady running: the last of
// three frames back to back, so the filters hold the frame before, as on the air.
Samples sentTrack(const Samples& frame)
{
    Samples threeFrames;
    for (int k = 0; k < 3; ++k)
        threeFrames.insert(threeFrames.end(), frame.begin(), frame.end());
    const Samples track = frequencyTrack(threeFrames);
    return {track.end() - static_cast<long>(frame.size()), track.end()};
}

double correlation(const double* a, const double* b, size_t length)
{
    double meanA = 0, meanB = 0;
    for (size_t k = 0; k < length; ++k) {
        meanA += a[k] / length;
        meanB += b[k] / length;
    }
    double both = 0, energyA = 0, energyB = 0;
    for (size_t k = 0; k < length; ++k) {
        both += (a[k] - meanA) * (b[k] - meanB);
        energyA += (a[k] - meanA) * (a[k] - meanA);
        energyB += (b[k] - meanB) * (b[k] - meanB);
    }
    return energyA > 0 && energyB > 0 ? both / std::sqrt(energyA * energyB) : 0.0;
}

struct Recording {
    Samples samples;
    Samples track;
};

size_t firstFrameStart(const Recording& heard, size_t onset, const Samples& sent)
{
    size_t best = onset;
    double bestCorrelation = -1;
    const size_t from = onset > searchSpan ? onset - searchSpan : 0;
    for (size_t at = from; at <= onset + searchSpan && at + sent.size() <= heard.track.size(); ++at) {
        const double c = correlation(heard.track.data() + at, sent.data(), sent.size());
        if (c > bestCorrelation) {
            bestCorrelation = c;
            best = at;
        }
    }
    return best;
}

// Whole frames from start on, as long as each matches the one sent and the one before.
int countFrames(const Recording& heard, size_t start, const Samples& sent, double& worst)
{
    const size_t length = sent.size();
    int frames = 0;
    worst = 1;
    for (size_t at = start; at + length <= heard.samples.size(); at += length) {
        const double c = correlation(heard.track.data() + at, sent.data(), length);
        if (c < likeSent)
            break;
        if (frames > 0 && correlation(heard.samples.data() + at - length, heard.samples.data() + at, length) < likePrevious)
            break;
        worst = std::min(worst, c);
        ++frames;
    }
    return frames;
}

bool isTone(double sample) { return std::fabs(sample) > toneLevel; }

int fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

// A frame of tone made elsewhere (quorrel60-codec encode), raw: the frame to expect.
std::vector<uint8_t> frameFrom(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5)
        return fail("usage: tx_recording_check RECORDING MIN_LEAD_SAMPLES MIN_FRAMES [FRAME.raw]");
    std::ifstream file(argv[1], std::ios::binary);
    const size_t minLead = std::strtoul(argv[2], nullptr, 10);
    const int minFrames = std::atoi(argv[3]);
    q60::restoreDefaultFilters();
    const std::vector<uint8_t> frame = argc == 5 ? frameFrom(argv[4]) : rampFrame();
    if (frame.size() != static_cast<size_t>(q60::frameSamples))
        return fail("the expected frame is not one frame of tone");
    const Samples sent = sentTrack(centred(frame));
    Recording heard;
    heard.samples = centred({std::istreambuf_iterator<char>(file), {}});
    heard.track = frequencyTrack(heard.samples);

    size_t onset = 0;
    while (onset < heard.samples.size() && !isTone(heard.samples[onset]))
        ++onset;
    if (onset == heard.samples.size())
        return fail("no tone in the recording");
    for (size_t k = 0; k + ringing < onset; ++k)
        if (std::fabs(heard.samples[k]) > silenceLevel)
            return fail("noise before the tone");

    const size_t start = firstFrameStart(heard, onset, sent);
    const double first = correlation(heard.track.data() + start, sent.data(), sent.size());
    double worst = 1;
    const int frames = countFrames(heard, start, sent, worst);
    const size_t toneEnd = start + frames * sent.size();
    size_t lastTone = heard.samples.size();
    while (lastTone > 0 && !isTone(heard.samples[lastTone - 1]))
        --lastTone;

    std::printf("silence %zu samples (%.2f s), %d frames back to back from sample %zu, "
                "frequency-track correlation %.4f for the first, %.4f at worst, tone ends %zu samples after the last "
                "whole frame, then %zu samples of silence\n",
                onset, onset / 11025.0, frames, start, first, worst, lastTone - std::min(lastTone, toneEnd),
                heard.samples.size() - lastTone);
    if (onset < minLead)
        return fail("the tone began before the lead-in was over");
    if (frames < minFrames)
        return fail("too few whole frames back to back");
    if (lastTone > toneEnd + sent.size())
        return fail("tone after a frame that does not match: a gap or a slip");
    if (heard.samples.size() - lastTone < 5000)
        return fail("the tone did not stop");
    return 0;
}
