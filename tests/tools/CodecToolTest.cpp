// SPDX-License-Identifier: GPL-3.0-or-later
// Runs quorrel60-codec in a fresh directory: the tone it writes must be the modulator's
// to the byte, the pictures it decodes the receiver's, and bad input must fail cleanly.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/ImpairedRecording.h"
#include "tx/FrameModulator.h"

namespace q60 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Result {
    int status;
    std::string errors;
    std::string output;
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

Bytes randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(count);
    std::ranges::generate(bytes, [&] { return static_cast<uint8_t>(random()); });
    return bytes;
}

std::string littleEndian(uint64_t value, int count)
{
    std::string text;
    for (int k = 0; k < count; ++k, value >>= 8)
        text += static_cast<char>(value & 0xFF);
    return text;
}

// A PCM WAV file whose 44-byte header says what it is told, with count bytes of 0x80 as data.
std::string wav(uint32_t rate, uint16_t channels, uint16_t bits, size_t count)
{
    const uint32_t align = channels * bits / 8U;
    return "RIFF" + littleEndian(36 + count, 4) + "WAVEfmt " + littleEndian(16, 4) + littleEndian(1, 2) +
           littleEndian(channels, 2) + littleEndian(rate, 4) + littleEndian(rate * align, 4) + littleEndian(align, 2) +
           littleEndian(bits, 2) + "data" + littleEndian(count, 4) + std::string(count, '\x80');
}

// The data bytes of a WAV file, after checking its header is the plain 11025 Hz 8-bit mono one.
Bytes wavData(const fs::path& path)
{
    const std::string file = readFile(path);
    const size_t header = std::min<size_t>(file.size(), 44);
    EXPECT_EQ(file.substr(0, header), wav(11025, 1, 8, file.size() - header).substr(0, 44));
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(header), file.end());
}

// What modulateFrame makes of an 80x60 TxFrame (line 0 first), or of the test ramp, n times.
Bytes modulated(const Bytes& txFrame, bool ramp, int frames = 1)
{
    static std::array<uint8_t, synthBufferBytes> buffer{};
    synthBuffer = buffer.data();
    setTxFrame(txFrame.data(), txFrame.size());
    testPicture = ramp;
    Bytes tone;
    for (int n = 0; n < frames; ++n)
        tone.insert(tone.end(), buffer.begin(), buffer.begin() + modulateFrame());
    return tone;
}

std::string pgm(const Bytes& grey)
{
    return "P5\n80 60\n255\n" + std::string(grey.begin(), grey.end());
}

QString name(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

QImage uniform(int grey)
{
    QImage picture(160, 60, QImage::Format_Grayscale8);
    picture.fill(grey);
    return picture;
}

// Rows of differing greys, each a ramp of one grey per pixel from left to right; top row
// first as in a picture file, or bottom row first as in the TxFrame.
Bytes rowsAndRamps(bool bottomUp = false)
{
    Bytes picture(txFrameBytes);
    for (size_t k = 0; k < picture.size(); ++k) {
        const size_t row = bottomUp ? txFrameLines - 1 - k / pixelsPerLine : k / pixelsPerLine;
        picture[k] = static_cast<uint8_t>(20 + row * 37 % 128 + k % pixelsPerLine);
    }
    return picture;
}

// The decoded grey of a pixel sent as grey g: the discriminator gives the sine of the
// offset from the 1999.94 Hz mixer, brightness 140 and contrast 380 scale it.
double receivedGrey(int g)
{
    return 140.0 + 380.0 * std::sin(0.854 + 0.00175 * g - 1.13977304);
}

// Worst difference between a decoded picture and the ideal one of the sent picture (top row
// first). RxPicture rows 1..59 carry TxFrame lines 0..58, so decoded row y is sent row y + 1;
// value p of a line is pixel (p - 2) / 2 after the filters' delay, and the line phase may
// swing one value either way. Values 16..151 are clear of the line sync and its ringing.
int worstError(const QImage& decoded, const Bytes& sent)
{
    double worst = 0.0;
    for (int y = 0; y < txFrameLines - 1; ++y) {
        for (int p = 16; p < 152; ++p) {
            const int got = decoded.pixelColor(p, y).blue();
            double best = 255.0;
            for (int delay = 1; delay <= 3; ++delay)
                best = std::min(best, std::abs(got - receivedGrey(sent[80 * (y + 1) + (p - delay) / 2])));
            worst = std::max(worst, best);
        }
    }
    return static_cast<int>(std::ceil(worst));
}

// 16-bit samples at a multiple of 11025 Hz, each repeated to fill the rate: the byte in
// the high half of the first channel, noise below it and on every other channel.
void writeSixteenBit(const fs::path& path, int rate, int channels, const Bytes& bytes)
{
    SF_INFO info{0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const auto repeat = static_cast<size_t>(rate / 11025);
    const auto width = static_cast<size_t>(channels);
    std::vector<short> frames(bytes.size() * repeat * width);
    const Bytes noise = randomBytes(frames.size(), 9);
    for (size_t k = 0; k < frames.size(); ++k) {
        const size_t sample = k / width / repeat;
        const int high = k % width == 0 ? bytes[sample] - 128 : noise[sample] - 128;
        frames[k] = static_cast<short>(high * 256 + noise[k]);
    }
    EXPECT_EQ(sf_writef_short(file, frames.data(), static_cast<sf_count_t>(frames.size() / width)),
              static_cast<sf_count_t>(frames.size() / width));
    sf_close(file);
}

class CodecTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "q60codec-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path at(const std::string& name) const { return dir_ / name; }

    // Runs the tool in the test's directory, so relative names land there.
    Result codec(const std::string& args) const
    {
        const std::string command =
            "cd '" + dir_.string() + "' && '" Q60_CODEC_PATH "' " + args + " >stdout.txt 2>stderr.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(at("stderr.txt")), readFile(at("stdout.txt"))};
    }

    void expectFileFailure(const std::string& args, const std::string& file) const
    {
        SCOPED_TRACE(args);
        const Result result = codec(args);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.errors.find(file), std::string::npos) << result.errors;
        EXPECT_EQ(std::ranges::count(result.errors, '\n'), 1) << result.errors;
    }

    // Encodes the rows-and-ramps picture over 100 frames, enough for the line phase to settle.
    void recordPicture(const std::string& name)
    {
        writeFile(at("rows.pgm"), pgm(rowsAndRamps()));
        ASSERT_EQ(codec("encode --frames 100 rows.pgm " + name).status, 0);
    }

    QImage decoded(const std::string& args) const
    {
        fs::remove(at("out.png"));
        EXPECT_EQ(codec("decode " + args + " out.png").status, 0) << args;
        return QImage(name(at("out.png")));
    }

private:
    fs::path dir_;
};

TEST_F(CodecTool, TestPictureIsModulatorFramesInAPlainWav)
{
    ASSERT_EQ(codec("encode --test-picture one.wav").status, 0);
    ASSERT_EQ(codec("encode --frames 3 --test-picture three.wav").status, 0);
    const Bytes black(txFrameBytes, 0);
    EXPECT_EQ(wavData(at("one.wav")), modulated(black, true));
    EXPECT_EQ(wavData(at("three.wav")), modulated(black, true, 3));
}

TEST_F(CodecTool, GreyPgmIsTheTxFrameBottomUp)
{
    writeFile(at("p.pgm"), pgm(rowsAndRamps()));
    ASSERT_EQ(codec("encode p.pgm p.wav").status, 0);
    EXPECT_EQ(wavData(at("p.wav")), modulated(rowsAndRamps(true), false));
}

TEST_F(CodecTool, ColourPictureGoesThroughTheGrabberReduction)
{
    const Bytes colours = randomBytes(3 * 160 * 120, 5);
    const QImage picture(colours.data(), 160, 120, 3 * 160, QImage::Format_RGB888);
    ASSERT_TRUE(picture.save(name(at("c.png"))));
    Bytes txFrame(txFrameBytes);
    for (int j = 0; j < 60; ++j) {
        for (int i = 0; i < 80; ++i) {
            const QRgb pixel = picture.pixel(2 * i, 119 - 2 * j);  // camera rows come bottom-up
            txFrame[80 * j + i] = static_cast<uint8_t>((qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3);
        }
    }
    ASSERT_EQ(codec("encode c.png c.wav").status, 0);
    EXPECT_EQ(wavData(at("c.wav")), modulated(txFrame, false));
}

// A wide and a tall picture at 160 pixels across or 120 down need no scaling to cover
// 160x120: they are sent exactly as their centres are, not squeezed.
TEST_F(CodecTool, PictureNotFourByThreeIsCutAtTheCentreNotStretched)
{
    const Bytes colours = randomBytes(3 * 320 * 240, 6);
    for (const auto& [width, height] : {std::pair{320, 120}, std::pair{160, 240}}) {
        SCOPED_TRACE(width);
        const QImage picture(colours.data(), width, height, 3 * width, QImage::Format_RGB888);
        const QImage centre = picture.copy((width - 160) / 2, (height - 120) / 2, 160, 120);
        ASSERT_TRUE(picture.save(name(at("whole.png"))));
        ASSERT_TRUE(centre.save(name(at("centre.png"))));
        ASSERT_EQ(codec("encode whole.png whole.wav").status, 0);
        ASSERT_EQ(codec("encode centre.png centre.wav").status, 0);
        EXPECT_EQ(wavData(at("whole.wav")), wavData(at("centre.wav")));
        EXPECT_NE(wavData(at("whole.wav")), modulated(Bytes(txFrameBytes, 0), false));
    }
}

// Received upright, the call sign sits in a black box at the bottom left, its letters
// white; the rest of the grey picture is untouched. --seconds 2 needs three frames.
TEST_F(CodecTool, CallSignRidesOnThePictureAndSecondsCountWholeFrames)
{
    writeFile(at("grey.pgm"), pgm(Bytes(txFrameBytes, 128)));
    ASSERT_EQ(codec("encode --seconds 60 --call DL1ABC/P grey.pgm call.wav").status, 0);
    const QImage picture = decoded("call.wav");
    int dark = 0, light = 0, elsewhere = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 12; x < 150; ++x) {
            const int grey = qGray(picture.pixel(x, y));
            const bool inBox = y >= 50 && y <= 57 && x < 140;
            dark += inBox && grey < 60;
            light += inBox && grey > 160;
            elsewhere += !inBox && y < 48 && (grey < 60 || grey > 190);
        }
    EXPECT_GT(dark, 300);
    EXPECT_GT(light, 40);
    EXPECT_EQ(elsewhere, 0);
    ASSERT_EQ(codec("encode --seconds 2 grey.pgm two.wav").status, 0);
    ASSERT_EQ(codec("encode --frames 3 grey.pgm three.wav").status, 0);
    EXPECT_EQ(wavData(at("two.wav")), wavData(at("three.wav")));
}

TEST_F(CodecTool, EncodedPictureDecodesUprightAndTallRepeatsRows)
{
    recordPicture("rows.wav");
    const QImage picture = decoded("rows.wav");
    ASSERT_EQ(picture.size(), QSize(160, 60));
    EXPECT_EQ(picture.format(), QImage::Format_Grayscale8);
    EXPECT_LE(worstError(picture, rowsAndRamps()), 4);  // measured: 3
    QImage doubled(160, 120, QImage::Format_Grayscale8);
    for (int y = 0; y < 120; ++y)
        std::copy_n(picture.constScanLine(y / 2), 160, doubled.scanLine(y));
    EXPECT_EQ(decoded("--tall rows.wav"), doubled);
}

TEST_F(CodecTool, OtherSampleFormatsDecodeAlike)
{
    recordPicture("rows.wav");
    const Bytes samples = wavData(at("rows.wav"));
    writeSixteenBit(at("mono16.wav"), 11025, 1, samples);
    writeSixteenBit(at("stereo44.wav"), 44100, 2, samples);
    EXPECT_EQ(decoded("mono16.wav"), decoded("rows.wav"));  // (s >> 8) + 128 is every byte again
    EXPECT_LE(worstError(decoded("stereo44.wav"), rowsAndRamps()), 4);  // measured: 3
}

TEST_F(CodecTool, SettingsAndCoefficientFilesReachTheReceiver)
{
    recordPicture("rows.wav");
    writeFile(at("zero12.txt"), "0 0 0 0 0 0 0 0 0 0 0 0\n");
    std::string pass63;  // only the centre tap: the input passes unchanged
    for (int k = 0; k < 31; ++k)
        pass63 += "0 ";
    writeFile(at("pass63.txt"), pass63 + "1\n");
    writeFile(at("short.txt"), "1 2 3\n");
    EXPECT_EQ(decoded("--brightness 77 --contrast 0 rows.wav"), uniform(77));
    // A zero low-pass or high-pass silences the discriminator: every value is the brightness.
    EXPECT_EQ(decoded("--lpf zero12.txt rows.wav"), uniform(140));
    EXPECT_EQ(decoded("--hpf zero12.txt rows.wav"), uniform(140));
    // The 63-tap set loads after the 23-tap one whatever the order given, and replaces it.
    EXPECT_NE(decoded("--hpf63 pass63.txt --hpf zero12.txt rows.wav"), uniform(140));
    EXPECT_NE(decoded("--synclevel 1000 rows.wav"), decoded("rows.wav"));
    const Result failed = codec("decode --lpf short.txt rows.wav short.png");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.errors.find("short.txt: load failed"), std::string::npos) << failed.errors;
    EXPECT_FALSE(fs::exists(at("short.png")));
}

// The tone of a card 999 ppm fast: the bytes as sent, in a file that says 11014 Hz, so
// the codec's resampling to 11025 Hz stretches each frame to 9609.6 samples.
TEST_F(CodecTool, FastLockAndClockCorrectionStraightenAFastCard)
{
    writeFile(at("rows.pgm"), pgm(rowsAndRamps()));
    ASSERT_EQ(codec("encode --frames 8 rows.pgm rows.wav").status, 0);
    const Bytes tone = wavData(at("rows.wav"));
    writeFile(at("fast.wav"), wav(11014, 1, 8, tone.size()).substr(0, 44) + std::string(tone.begin(), tone.end()));
    EXPECT_LE(worstError(decoded("--fast-lock --ppm 999 fast.wav"), rowsAndRamps()), 5);  // measured: 4
    EXPECT_LE(worstError(decoded("--fast-lock --ppm auto fast.wav"), rowsAndRamps()), 5);  // measured: 4
    // 11025 / 11014 is 998.7 ppm fast; 5 ppm would move the lines 0.05 values a frame.
    const std::string report = codec("decode --ppm auto fast.wav out.png").output;
    double measured = 0.0;
    ASSERT_EQ(std::sscanf(report.c_str(), "measured clock error: %lf ppm\n", &measured), 1) << report;
    EXPECT_NEAR(measured, 998.7, 5.0) << report;  // measured: +996.5 after 8 frames
    // Fast lock alone puts each frame's lines in line on average, but they slant by
    // nearly 10 values over the picture (the default: 158).
    EXPECT_GT(worstError(decoded("--fast-lock fast.wav"), rowsAndRamps()), 40);  // measured: 133
}

// The tone as a receiver 120 Hz high hears it: --afc measures that, prints it and gives
// back the greys that the default moves by 26 levels.
TEST_F(CodecTool, FrequencyControlFollowsAMistunedReceiver)
{
    const Bytes picture = rowsAndRamps(true);
    setTxFrame(picture.data(), picture.size());
    testPicture = false;
    const std::vector<int32_t> samples = test::impairedRecording(8, {.shiftHz = 120.0});
    std::string bytes;
    std::ranges::transform(samples, std::back_inserter(bytes), [](int32_t s) { return static_cast<char>(s + 128); });
    writeFile(at("high.wav"), wav(11025, 1, 8, bytes.size()).substr(0, 44) + bytes);
    EXPECT_LE(worstError(decoded("--fast-lock --afc high.wav"), rowsAndRamps()), 5);  // measured: 4
    EXPECT_GT(worstError(decoded("--fast-lock high.wav"), rowsAndRamps()), 20);  // measured: 30
    const std::string report = codec("decode --afc high.wav out.png").output;
    double measured = 0.0;
    ASSERT_EQ(std::sscanf(report.c_str(), "measured frequency offset: %lf Hz\n", &measured), 1) << report;
    EXPECT_NEAR(measured, 120.0, 1.0) << report;
}

// Mean difference over every pixel of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(a.pixelColor(x, y).blue() - b.pixelColor(x, y).blue());
    return sum / (a.width() * a.height());
}

// A still picture through noise: --integrate writes the mean of the last complete
// pictures, in the format of every other decode.
TEST_F(CodecTool, IntegrateWritesTheMeanOfTheLastPicturesOfANoisyStill)
{
    writeFile(at("rows.pgm"), pgm(rowsAndRamps()));
    ASSERT_EQ(codec("encode --frames 12 rows.pgm rows.wav").status, 0);
    Bytes tone = wavData(at("rows.wav"));
    const Bytes noise = randomBytes(tone.size(), 5);
    for (size_t k = 0; k < tone.size(); ++k)
        tone[k] = static_cast<uint8_t>(std::clamp(tone[k] + (noise[k] - 128) / 4, 0, 255));
    writeFile(at("noisy.wav"), wav(11025, 1, 8, tone.size()).substr(0, 44) + std::string(tone.begin(), tone.end()));
    const QImage clean = decoded("--fast-lock rows.wav");
    const QImage mean = decoded("--fast-lock --integrate 8 noisy.wav");
    ASSERT_EQ(mean.size(), QSize(160, 60));
    EXPECT_EQ(mean.format(), QImage::Format_Grayscale8);
    const double single = meanDifference(decoded("--fast-lock noisy.wav"), clean);
    EXPECT_LT(meanDifference(mean, clean), single / 2) << single;  // measured: 10.8 and 26.7
    const QImage tall = decoded("--fast-lock --integrate 8 --tall noisy.wav");
    ASSERT_EQ(tall.size(), QSize(160, 120));
    EXPECT_EQ(tall.copy(0, 0, 160, 1), mean.copy(0, 0, 160, 1));
    EXPECT_EQ(tall.copy(0, 119, 160, 1), mean.copy(0, 59, 160, 1));
}

TEST_F(CodecTool, BrokenFilesFailWithOneLineNamingThem)
{
    ASSERT_EQ(codec("encode --test-picture good.wav").status, 0);
    writeFile(at("empty.wav"), "");
    const Bytes noise = randomBytes(5000, 3);
    writeFile(at("noise.wav"), std::string(noise.begin(), noise.end()));
    writeFile(at("cut.wav"), wav(11025, 1, 8, 100).substr(0, 30));
    writeFile(at("slow.wav"), wav(1, 1, 8, 100));
    writeFile(at("wide.wav"), wav(11025, 65535, 8, 100));
    writeFile(at("text.png"), "not a picture\n");
    const Bytes colours = randomBytes(3 * 64 * 64, 7);
    ASSERT_TRUE(QImage(colours.data(), 64, 64, 3 * 64, QImage::Format_RGB888).save(name(at("whole.png"))));
    writeFile(at("cut.png"), readFile(at("whole.png")).substr(0, 6000));  // libpng reports this on stderr itself
    writeFile(at("huge.pgm"), "P5\n100000 100000\n255\n");
    // A whole PNG whose header declares 30000x30000 grey (fuzz/corpus/image/
    // huge-header-30000.png): Qt's allocation limit refuses it before any pixel memory is taken.
    const std::string hugePng(
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52"
        "\x00\x00\x75\x30\x00\x00\x75\x30\x08\x00\x00\x00\x00\x43\x4c\xa7"
        "\x66\x00\x00\x00\x0c\x49\x44\x41\x54\x78\x9c\x63\x60\xa0\x0c\x00"
        "\x00\x00\x40\x00\x01\xb7\x34\x7c\xef\x00\x00\x00\x00\x49\x45\x4e"
        "\x44\xae\x42\x60\x82",
        69);
    writeFile(at("huge.png"), hugePng);
    fs::create_directory(at("sub"));
    for (const char* file : {"missing.wav", "empty.wav", "noise.wav", "cut.wav", "slow.wav", "wide.wav", "text.png"})
        expectFileFailure("decode " + std::string(file) + " out.png", file);
    for (const char* file : {"missing.png", "text.png", "huge.pgm", "huge.png", "cut.png", "noise.wav"})
        expectFileFailure("encode " + std::string(file) + " out.wav", file);
    EXPECT_NE(codec("encode huge.png out.wav").errors.find("allocation limit"), std::string::npos);
    // A picture whose last chunk claims 1.5 GB, which libpng would take and clear.
    std::string longChunk = readFile(at("whole.png"));
    longChunk.replace(longChunk.size() - 12, 4, "\x5a\x00\x00\x00", 4);
    writeFile(at("long-chunk.png"), longChunk);
    EXPECT_NE(codec("encode long-chunk.png out.wav").errors.find("longer than the whole file"), std::string::npos);
    expectFileFailure("encode --test-picture no/such/dir.wav", "no/such/dir.wav");
    expectFileFailure("encode --test-picture sub", "sub");
    expectFileFailure("decode good.wav no/such/dir.png", "no/such/dir.png");
    expectFileFailure("decode good.wav sub", "sub");
    EXPECT_FALSE(fs::exists(at("out.png")) || fs::exists(at("out.wav")));
}

TEST_F(CodecTool, BadArgumentsExitTwoWithUsage)
{
    writeFile(at("p.pgm"), pgm(rowsAndRamps()));
    ASSERT_EQ(codec("encode --test-picture in.wav").status, 0);
    for (const char* args :
         {"", "transmit", "encode", "encode p.pgm", "encode --test-picture", "encode --test-picture p.pgm out.wav",
          "encode --frames --test-picture out.wav", "encode --frames 0 --test-picture out.wav",
          "encode --frames -1 p.pgm out.wav", "encode --frames 2x p.pgm out.wav", "encode --frames 1.5 p.pgm out.wav",
          "encode --frames 1000000 p.pgm out.wav", "encode --tall p.pgm out.wav", "encode -f 2 p.pgm out.wav",
          "decode in.wav", "decode in.wav out.png extra", "decode --contrast 3.5 in.wav out.png",
          "decode --brightness 2147483648 in.wav out.png", "decode --synclevel nan in.wav out.png",
          "decode --synclevel 1e40 in.wav out.png", "decode --synclevel ten in.wav out.png",
          "decode --frames 2 in.wav out.png", "decode in.wav out.png --lpf", "decode --ppm 2001 in.wav out.png",
          "decode --ppm fast in.wav out.png", "decode --fast-lock 1 in.wav out.png", "decode --afc 1 in.wav out.png",
          "decode --integrate 0 in.wav out.png", "decode --integrate 17 in.wav out.png",
          "encode --frames 2 --seconds 2 p.pgm out.wav", "encode --seconds -1 p.pgm out.wav",
          "encode --call 'A B' p.pgm out.wav", "encode --call ABCDEFGHIJKL p.pgm out.wav"}) {
        const Result result = codec(args);
        EXPECT_EQ(result.status, 2) << args;
        EXPECT_NE(result.errors.find("usage:"), std::string::npos) << args;
    }
    EXPECT_FALSE(fs::exists(at("out.png")) || fs::exists(at("out.wav")));
}

}  // namespace
}  // namespace q60
