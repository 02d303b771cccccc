// SPDX-License-Identifier: GPL-3.0-or-later
// WAV output and streaming audio input of the codec tool, on libsndfile and libsamplerate.
#include "tools/CodecAudio.h"

#include <samplerate.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "tools/CodecFailure.h"
#include "tx/ToneFormat.h"

namespace q60 {

namespace {

constexpr size_t blockSamples = 16384;
constexpr int maxChannels = 1024;  // libsndfile's own limit; keeps a block at 16 frames or more
// Below this the top of the tone (white, about 2.3 kHz) is above the Nyquist frequency,
// and a tiny file could make hours of upsampling work.
constexpr int minSampleRate = 5000;
constexpr int maxSampleRate = 256 * sampleRate;  // libsamplerate's largest ratio

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

struct ResamplerDeleter {
    void operator()(SRC_STATE* state) const { src_delete(state); }
};

bool isReceiverByteStream(const SF_INFO& info)
{
    return info.samplerate == sampleRate && info.channels == 1 &&
           (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8;
}

// Exactly (s >> 8) + 128 for 16-bit input; out-of-range floats clip, a NaN is silence.
uint8_t byteOf(float normalised)
{
    constexpr float centre = sampleCentre;
    if (std::isnan(normalised))
        return sampleCentre;
    const float value = std::floor(normalised * centre) + centre;
    if (value <= 0.0F)
        return 0;
    return value >= 255.0F ? 255 : static_cast<uint8_t>(value);
}

// Turns float blocks of at most blockSamples into bytes for the sink.
class Quantiser {
public:
    explicit Quantiser(const ByteSink& sink) : sink_(sink) {}
    void operator()(const float* samples, size_t count)
    {
        for (size_t k = 0; k < count; ++k)
            bytes_[k] = byteOf(samples[k]);
        sink_(bytes_.data(), count);
    }

private:
    const ByteSink& sink_;
    std::array<uint8_t, blockSamples> bytes_{};
};

// Streaming conversion of one channel to 11025 Hz.
class Resampler {
public:
    bool start(int fromRate)
    {
        int error = 0;
        state_.reset(src_new(SRC_SINC_FASTEST, 1, &error));
        ratio_ = static_cast<double>(sampleRate) / fromRate;
        return state_ != nullptr;
    }

    // Passes every output block to quantise; the last call flushes the filter.
    bool process(const float* input, long frames, bool last, Quantiser& quantise)
    {
        SRC_DATA data{};
        data.data_in = input;
        data.input_frames = frames;
        data.data_out = output_.data();
        data.output_frames = static_cast<long>(output_.size());
        data.src_ratio = ratio_;
        data.end_of_input = last ? 1 : 0;
        do {
            if (src_process(state_.get(), &data) != 0)
                return false;
            quantise(output_.data(), static_cast<size_t>(data.output_frames_gen));
            data.data_in += data.input_frames_used;
            data.input_frames -= data.input_frames_used;
        } while ((data.input_frames > 0 || last) && (data.input_frames_used > 0 || data.output_frames_gen > 0));
        return true;
    }

private:
    std::unique_ptr<SRC_STATE, ResamplerDeleter> state_;
    double ratio_ = 1.0;
    std::array<float, blockSamples> output_{};
};

bool checkShape(const std::string& path, const SF_INFO& info)
{
    if (info.channels < 1 || info.channels > maxChannels)
        return reportFailure(path, "unsupported channel count " + std::to_string(info.channels));
    if (info.samplerate < minSampleRate || info.samplerate > maxSampleRate)
        return reportFailure(path, "unsupported sample rate " + std::to_string(info.samplerate) + " (" +
                                       std::to_string(minSampleRate) + " to " + std::to_string(maxSampleRate) + " Hz)");
    return true;
}

void streamRaw(SNDFILE* file, const ByteSink& sink)
{
    std::array<uint8_t, blockSamples> block{};
    sf_count_t got = 0;
    while ((got = sf_read_raw(file, block.data(), static_cast<sf_count_t>(block.size()))) > 0)
        sink(block.data(), static_cast<size_t>(got));
}

// Reads the next frames into mono (first channel); returns how many, 0 at the end.
size_t readFirstChannel(SNDFILE* file, int channels, std::vector<float>& interleaved, float* mono)
{
    const auto frames = static_cast<sf_count_t>(interleaved.size() / static_cast<size_t>(channels));
    const sf_count_t got = sf_readf_float(file, interleaved.data(), frames);
    for (sf_count_t k = 0; k < got; ++k)
        mono[k] = interleaved[static_cast<size_t>(k * channels)];
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool streamConverted(SNDFILE* file, const SF_INFO& info, const ByteSink& sink)
{
    std::vector<float> interleaved(blockSamples);
    std::vector<float> mono(blockSamples);
    Quantiser quantise(sink);
    std::unique_ptr<Resampler> resampler;
    if (info.samplerate != sampleRate) {
        resampler = std::make_unique<Resampler>();
        if (!resampler->start(info.samplerate))
            return false;
    }
    for (;;) {
        const size_t frames = readFirstChannel(file, info.channels, interleaved, mono.data());
        if (resampler == nullptr)
            quantise(mono.data(), frames);
        else if (!resampler->process(mono.data(), static_cast<long>(frames), frames == 0, quantise))
            return false;
        if (frames == 0)
            return true;
    }
}

}  // namespace

WavWriter::WavWriter(std::string path) : path_(std::move(path)) {}

WavWriter::~WavWriter()
{
    if (file_ == nullptr)
        return;  // finished, or never opened
    std::string ignored;
    closeWavFile(file_, ignored);
    discardPartialOutput(path_);
}

bool WavWriter::open()
{
    std::string reason;
    file_ = openWavFile(path_, reason);
    if (file_ == nullptr)
        return reportFailure(path_, "cannot write: " + reason);
    return true;
}

bool WavWriter::write(const uint8_t* bytes, size_t count)
{
    std::string reason;
    if (writeWavFile(file_, bytes, count, reason))
        return true;
    return reportFailure(path_, "cannot write: " + reason);
}

bool WavWriter::finish()
{
    std::string reason;
    if (closeWavFile(std::exchange(file_, nullptr), reason))
        return true;
    discardPartialOutput(path_);
    return reportFailure(path_, "cannot write: " + reason);
}

bool streamAudioBytes(const std::string& path, const ByteSink& sink)
{
    SF_INFO info{};
    const SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (file == nullptr)
        return reportFailure(path, std::string("cannot read audio: ") + sf_strerror(nullptr));
    if (!checkShape(path, info))
        return false;
    if (isReceiverByteStream(info))
        streamRaw(file.get(), sink);
    else if (!streamConverted(file.get(), info, sink))
        return reportFailure(path, "resampling failed");
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        return reportFailure(path, std::string("cannot read audio: ") + sf_strerror(file.get()));
    return true;
}

}  // namespace q60
