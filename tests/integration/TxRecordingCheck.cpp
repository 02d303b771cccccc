// Checks a recording of the transmitter (raw 8-bit unsigned mono at 11025 Hz) against
// the test ramp's frame of tone: silence first, then whole frames back to back with
// no gap or slip, then silence again once transmission is off.
// Usage: tx_recording_check RECORDING MIN_LEAD_SAMPLES MIN_FRAMES
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/MainDialog.h"
#include "tx/FrameModulator.h"

namespace {

constexpr int toneLevel = 16;     // farther from 128 than this is tone, not silence
constexpr int silenceLevel = 2;   // resampling noise allowed in silence
// Correlation of a received frame with the one sent: the sound server's resamplers
// leave about 0.965; a slip of one sample gives 0.5 and another picture far less.
constexpr double likeSent = 0.9;
// Correlation of a received frame with the one before: equal but for rounding.
constexpr double likePrevious = 0.999;
constexpr int searchSpan = 300;   // samples around the onset searched for the first frame
constexpr size_t ringing = 16;    // the resamplers' filters ring a little ahead of a step

using Samples = std::vector<double>;

Samples centred(const std::vector<uint8_t>& bytes)
{
    Samples samples;
    for (uint8_t byte : bytes)
        samples.push_back(byte - 128.0);
    return samples;
}

Samples rampFrame()
{
    std::vector<uint8_t> memory(q60::synthBufferBytes);
    q60::synthBuffer = memory.data();
    q60::testPicture.store(true);
    const int length = q60::modulateFrame();
    memory.resize(static_cast<size_t>(length));
    return centred(memory);
}

double correlation(const double* a, const double* b, size_t length)
{
    double both = 0, energyA = 0, energyB = 0;
    for (size_t k = 0; k < length; ++k) {
        both += a[k] * b[k];
        energyA += a[k] * a[k];
        energyB += b[k] * b[k];
    }
    return energyA > 0 && energyB > 0 ? both / std::sqrt(energyA * energyB) : 0.0;
}

double correlation(const Samples& recording, size_t at, const Samples& frame)
{
    return correlation(recording.data() + at, frame.data(), frame.size());
}

// Whole frames from start on, as long as each matches the one sent and the one before.
int countFrames(const Samples& recording, size_t start, const Samples& frame, double& worst)
{
    const size_t length = frame.size();
    int frames = 0;
    worst = 1;
    for (size_t at = start; at + length <= recording.size(); at += length) {
        const double sent = correlation(recording, at, frame);
        if (sent < likeSent)
            break;
        if (frames > 0 && correlation(recording.data() + at - length, recording.data() + at, length) < likePrevious)
            break;
        worst = std::min(worst, sent);
        ++frames;
    }
    return frames;
}

size_t firstFrameStart(const Samples& recording, size_t onset, const Samples& frame)
{
    size_t best = onset;
    double bestCorrelation = -1;
    const size_t from = onset > searchSpan ? onset - searchSpan : 0;
    for (size_t at = from; at <= onset + searchSpan && at + frame.size() <= recording.size(); ++at) {
        const double c = correlation(recording, at, frame);
        if (c > bestCorrelation) {
            bestCorrelation = c;
            best = at;
        }
    }
    return best;
}

bool isTone(double sample) { return std::fabs(sample) > toneLevel; }

int fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return fail("usage: tx_recording_check RECORDING MIN_LEAD_SAMPLES MIN_FRAMES");
    std::ifstream file(argv[1], std::ios::binary);
    const Samples recording = centred({std::istreambuf_iterator<char>(file), {}});
    const size_t minLead = std::strtoul(argv[2], nullptr, 10);
    const int minFrames = std::atoi(argv[3]);
    const Samples frame = rampFrame();

    size_t onset = 0;
    while (onset < recording.size() && !isTone(recording[onset]))
        ++onset;
    if (onset == recording.size())
        return fail("no tone in the recording");
    for (size_t k = 0; k + ringing < onset; ++k)
        if (std::fabs(recording[k]) > silenceLevel)
            return fail("noise before the tone");

    const size_t start = firstFrameStart(recording, onset, frame);
    double worst = 1;
    const int frames = countFrames(recording, start, frame, worst);
    const size_t toneEnd = start + frames * frame.size();
    size_t lastTone = recording.size();
    while (lastTone > 0 && !isTone(recording[lastTone - 1]))
        --lastTone;

    std::printf("silence %zu samples (%.2f s), %d frames back to back from sample %zu, "
                "worst frame correlation %.4f, tone ends %zu samples after the last whole frame, "
                "then %zu samples of silence\n",
                onset, onset / 11025.0, frames, start, worst, lastTone - std::min(lastTone, toneEnd),
                recording.size() - lastTone);
    if (onset < minLead)
        return fail("the tone began before the lead-in was over");
    if (frames < minFrames)
        return fail("too few whole frames back to back");
    if (lastTone > toneEnd + frame.size())
        return fail("tone after a frame that does not match: a gap or a slip");
    if (recording.size() - lastTone < 5000)
        return fail("the tone did not stop");
    return 0;
}
