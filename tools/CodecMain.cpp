// SPDX-License-Identifier: GPL-3.0-or-later
// quorrel60-codec: runs the real transmit and receive chains on files, so the tone
// format can be produced, checked and decoded without a radio.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "rx/ClockCorrection.h"
#include "rx/FilterBank.h"
#include "rx/FrequencyControl.h"
#include "rx/FrameIntegrator.h"
#include "rx/PictureAssembler.h"
#include "tools/CodecAudio.h"
#include "tools/CodecFailure.h"
#include "tools/CodecImage.h"
#include "tx/CallOverlay.h"
#include "tx/FrameModulator.h"

namespace q60 {

namespace {

constexpr int exitSuccess = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

// A WAV file counts its bytes in 32 bits; more frames would not make a valid file.
constexpr int maxFrames = static_cast<int>((int64_t{1} << 32) / frameSamples - 1);

// The modulator builds each frame here.
std::array<uint8_t, synthBufferBytes> synthStorage{};

struct OptionRule {
    std::string_view name;
    bool takesValue;
};

constexpr std::array<OptionRule, 4> encodeOptions{
    {{"--frames", true}, {"--seconds", true}, {"--test-picture", false}, {"--call", true}}};
constexpr std::array<OptionRule, 12> decodeOptions{{{"--brightness", true},
                                                   {"--contrast", true},
                                                   {"--synclevel", true},
                                                   {"--lpf", true},
                                                   {"--hpf", true},
                                                   {"--hpf63", true},
                                                   {"--tall", false},
                                                   {"--fast-lock", false},
                                                   {"--ppm", true},
                                                   {"--afc", false},
                                                   {"--sturdy-sync", false},
                                                   {"--integrate", true}}};

struct CommandLine {
    std::map<std::string, std::string, std::less<>> options;  // a flag maps to ""
    std::vector<std::string> operands;
};

struct EncodeRequest {
    int frames = 1;
    bool testPicture = false;
    std::string call;  // drawn onto the picture when set
    std::string picture;
    std::string output;
};

// The settings start as the program starts: from their built-in defaults.
struct DecodeRequest {
    int32_t brightness = Brightness;
    int32_t contrast = Contrast;
    float synclevel = Synclevel;
    std::optional<std::string> lowPass;
    std::optional<std::string> highPass;
    std::optional<std::string> highPass63;
    bool tall = false;
    bool fastLock = false;
    double ppm = 0.0;
    bool trackPpm = false;
    bool frequencyControl = false;
    bool sturdySync = false;
    int integrate = 1;
    std::string input;
    std::string output;
};

void printUsage(std::FILE* stream)
{
    std::fprintf(stream,
                 "usage: quorrel60-codec encode [--frames N|--seconds S] [--call CALL] PICTURE OUT.wav\n"
                 "       quorrel60-codec encode [--frames N|--seconds S] [--call CALL] --test-picture OUT.wav\n"
                 "       quorrel60-codec decode [--brightness B] [--contrast C] [--synclevel S]\n"
                 "                              [--lpf FILE] [--hpf FILE] [--hpf63 FILE] [--tall]\n"
                 "                              [--fast-lock] [--ppm P|auto] [--afc] [--sturdy-sync]\n"
                 "                              [--integrate N]\n"
                 "                              IN.wav OUT.png\n"
                 "encode: N frames (default 1) of tone as 11025 Hz 8-bit mono WAV; an 8-bit grey\n"
                 "        80x60 PICTURE is sent as it is, any other is scaled to cover 160x120 keeping\n"
                 "        its aspect, cut at the centre and grabbed; --seconds S: the whole frames\n"
                 "        covering S seconds; --call CALL: the call sign drawn bottom left.\n"
                 "decode: any audio file through the receiver, the picture as 8-bit grey PNG,\n"
                 "        160x60 or 160x120 with --tall; B, C integers (default %d, %d), S a number\n"
                 "        (default %g); coefficient files as the receiver loads them.\n"
                 "        --fast-lock: the line phase jumps into line once 30 line syncs agree.\n"
                 "        --ppm P: corrects a receiving sound card P ppm fast (negative: slow),\n"
                 "        -%g to %g; --ppm auto measures and follows it, and prints it at the end.\n"
                 "        --afc: follows a mistuned receiver (up to 250 Hz either way) by the sync\n"
                 "        tone, and prints the offset measured at the end.\n"
                 "        --sturdy-sync: line syncs only where they are due, frame syncs only\n"
                 "        when held; for weak signals and pictures with black areas.\n"
                 "        --integrate N: the mean of the last N (1 to %d) complete pictures of a\n"
                 "        still picture, restarted when the picture changes; 1 is off.\n",
                 Brightness, Contrast, static_cast<double>(Synclevel), maxClockPpm, maxClockPpm, maxIntegratedFrames);
}

// Reports bad arguments with the usage; returns false to fail in one statement.
bool refuse(const std::string& reason)
{
    std::fprintf(stderr, "quorrel60-codec: %s\n", reason.c_str());
    printUsage(stderr);
    return false;
}

bool splitArguments(std::span<char* const> args, std::span<const OptionRule> rules, CommandLine& line)
{
    bool optionsEnded = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string_view arg = args[k];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            line.operands.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            const auto rule = std::ranges::find(rules, arg, &OptionRule::name);
            if (rule == rules.end())
                return refuse("unknown option " + std::string(arg));
            if (rule->takesValue && ++k == args.size())
                return refuse("missing value for " + std::string(arg));
            line.options[std::string(arg)] = rule->takesValue ? args[k] : "";
        }
    }
    return true;
}

// The whole text as a number, finite and within [low, high].
template <typename Number>
std::optional<Number> parseNumber(const std::string& text, Number low, Number high)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < low || value > high)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

// Sets target from the option when it is given; false after refusing a bad value.
template <typename Number>
bool numberOption(const CommandLine& line, std::string_view name, Number& target,
                  Number low = std::numeric_limits<Number>::lowest(),
                  Number high = std::numeric_limits<Number>::max())
{
    const auto found = line.options.find(name);
    if (found == line.options.end())
        return true;
    const std::optional<Number> value = parseNumber(found->second, low, high);
    if (!value)
        return refuse("bad value for " + std::string(name) + ": " + found->second);
    target = *value;
    return true;
}

std::optional<std::string> textOption(const CommandLine& line, std::string_view name)
{
    const auto found = line.options.find(name);
    return found == line.options.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// --seconds S: the whole frames that cover at least S seconds, in place of --frames.
bool secondsOption(const CommandLine& line, int& frames)
{
    if (!line.options.contains("--seconds"))
        return true;
    if (line.options.contains("--frames"))
        return refuse("give --frames or --seconds, not both");
    constexpr double maxSeconds = static_cast<double>(maxFrames) * frameSamples / sampleRate;
    double seconds = 0.0;
    if (!numberOption(line, "--seconds", seconds, 0.0, maxSeconds))
        return false;
    frames = std::max(1, static_cast<int>(std::ceil(seconds * sampleRate / frameSamples)));
    return true;
}

bool parseEncode(const CommandLine& line, EncodeRequest& request)
{
    request.testPicture = line.options.contains("--test-picture");
    if (!numberOption(line, "--frames", request.frames, 1, maxFrames) || !secondsOption(line, request.frames))
        return false;
    request.call = textOption(line, "--call").value_or("");
    if (line.options.contains("--call") && !isValidCallSign(request.call))
        return refuse("bad value for --call (1 to 11 visible characters, no spaces): " + request.call);
    if (line.operands.size() != (request.testPicture ? 1U : 2U))
        return refuse(request.testPicture ? "encode --test-picture takes OUT.wav" : "encode takes PICTURE OUT.wav");
    request.picture = request.testPicture ? "" : line.operands.front();
    request.output = line.operands.back();
    return true;
}

bool parseDecode(const CommandLine& line, DecodeRequest& request)
{
    if (!numberOption(line, "--brightness", request.brightness) ||
        !numberOption(line, "--contrast", request.contrast) || !numberOption(line, "--synclevel", request.synclevel))
        return false;
    request.lowPass = textOption(line, "--lpf");
    request.highPass = textOption(line, "--hpf");
    request.highPass63 = textOption(line, "--hpf63");
    request.tall = line.options.contains("--tall");
    request.fastLock = line.options.contains("--fast-lock");
    request.trackPpm = textOption(line, "--ppm") == "auto";
    request.frequencyControl = line.options.contains("--afc");
    request.sturdySync = line.options.contains("--sturdy-sync");
    if (!request.trackPpm && !numberOption(line, "--ppm", request.ppm, -maxClockPpm, maxClockPpm))
        return false;
    if (!numberOption(line, "--integrate", request.integrate, 1, maxIntegratedFrames))
        return false;
    if (line.operands.size() != 2)
        return refuse("decode takes IN.wav OUT.png");
    request.input = line.operands[0];
    request.output = line.operands[1];
    return true;
}

int encode(const EncodeRequest& request)
{
    if (request.testPicture)
        testPicture = true;  // the TxFrame stays black, as at program start
    else if (!loadTxPicture(request.picture))
        return exitFailure;
    setCallOverlay(request.call);
    synthBuffer = synthStorage.data();
    WavWriter wav(request.output);
    if (!wav.open())
        return exitFailure;
    for (int n = 0; n < request.frames; ++n) {
        const int bytes = modulateFrame();
        if (!wav.write(synthBuffer, static_cast<size_t>(bytes)))
            return exitFailure;
    }
    return wav.finish() ? exitSuccess : exitFailure;
}

// To the tenth printed; adding +0.0 turns a -0.0 into +0.0, so no error shows as "-0.0".
double printedTenths(double value)
{
    return std::round(value * 10.0) / 10.0 + 0.0;
}

bool loadFilter(const std::optional<std::string>& path, CoefficientSet set)
{
    if (!path || loadCoefficientFile(path->c_str(), set) == 1)
        return true;
    return reportFailure(*path, "load failed");
}

// As the program receives: filters restored at RX on, then the loaded sets, then the settings.
int decode(const DecodeRequest& request)
{
    restoreDefaultFilters();
    if (!loadFilter(request.lowPass, CoefficientSet::LowPass) ||
        !loadFilter(request.highPass, CoefficientSet::HighPass) ||
        !loadFilter(request.highPass63, CoefficientSet::HighPass63))
        return exitFailure;
    Brightness = request.brightness;
    Contrast = request.contrast;
    Synclevel = request.synclevel;
    fastLock = request.fastLock;
    setClockCorrection(request.ppm);
    setClockTracking(request.trackPpm);
    setFrequencyControl(request.frequencyControl);
    setSturdySync(request.sturdySync);
    // Off, the output stays the RxPicture as the input's end left it.
    const bool integrating = request.integrate > 1;
    setFrameIntegration(request.integrate);
    if (integrating)
        setPictureRestartHandler([] { integrateRxPicture(); });
    const bool received = streamAudioBytes(request.input, receiveBytes);
    if (!received)
        return exitFailure;
    if (!saveRxPicture(request.output, request.tall, integrating ? paintIntegratedGrey : paintRxPictureGrey))
        return exitFailure;
    if (request.trackPpm)
        std::printf("measured clock error: %+.1f ppm\n", printedTenths(clockCorrectionPpm()));
    if (request.frequencyControl)
        std::printf("measured frequency offset: %+.1f Hz\n", printedTenths(frequencyOffsetHz()));
    return exitSuccess;
}

int encodeCommand(std::span<char* const> args)
{
    CommandLine line;
    EncodeRequest request;
    if (!splitArguments(args, encodeOptions, line) || !parseEncode(line, request))
        return exitUsage;
    return encode(request);
}

int decodeCommand(std::span<char* const> args)
{
    CommandLine line;
    DecodeRequest request;
    if (!splitArguments(args, decodeOptions, line) || !parseDecode(line, request))
        return exitUsage;
    return decode(request);
}

int run(std::span<char* const> args)
{
    const std::string_view command = args.size() >= 2 ? args[1] : "";
    if (command == "--help" || command == "-h") {
        printUsage(stdout);
        return exitSuccess;
    }
    if (command == "encode")
        return encodeCommand(args.subspan(2));
    if (command == "decode")
        return decodeCommand(args.subspan(2));
    refuse(command.empty() ? "missing command" : "unknown command " + std::string(command));
    return exitUsage;
}

}  // namespace

}  // namespace q60

int main(int argc, char** argv)
{
    try {
        return q60::run(std::span<char* const>(argv, static_cast<size_t>(argc)));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "quorrel60-codec: %s\n", failure.what());
    } catch (...) {
        std::fprintf(stderr, "quorrel60-codec: unexpected failure\n");
    }
    return 1;
}
