// The generated sound effects: the seven built-in effects have the formats the sound bank expects.
#include "audio/SoundEffectImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>

namespace {

struct WaveFormat {
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    const unsigned char* data = nullptr;
    size_t dataSize = 0;
};

uint32_t ReadLittleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// Walks the RIFF chunks; nothing if the image is not a well-formed WAVE with fmt and data chunks.
std::optional<WaveFormat> ParseWave(const SoundEffectImage& image) {
    if (image.size < 12 || std::memcmp(image.data, "RIFF", 4) || std::memcmp(image.data + 8, "WAVE", 4))
        return std::nullopt;
    if (ReadLittleEndian(image.data + 4, 4) + 8 > image.size) return std::nullopt;
    WaveFormat format;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= image.size) {
        const unsigned char* chunk = image.data + at;
        const size_t size = ReadLittleEndian(chunk + 4, 4);
        if (size > image.size - at - 8) return std::nullopt;
        if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
            format.formatTag = static_cast<int>(ReadLittleEndian(chunk + 8, 2));
            format.channels = static_cast<int>(ReadLittleEndian(chunk + 10, 2));
            format.sampleRate = static_cast<int>(ReadLittleEndian(chunk + 12, 4));
            format.bitsPerSample = static_cast<int>(ReadLittleEndian(chunk + 22, 2));
            haveFormat = true;
        } else if (!std::memcmp(chunk, "data", 4)) {
            format.data = chunk + 8;
            format.dataSize = size;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || !format.data) return std::nullopt;
    return format;
}

// Each sample as a fraction of full scale.
double SampleAt(const WaveFormat& format, size_t index) {
    if (format.bitsPerSample == 8) return (format.data[index] - 128) / 128.0;
    const auto word = static_cast<int16_t>(ReadLittleEndian(format.data + 2 * index, 2));
    return word / 32768.0;
}

struct ExpectedEffect {
    const char* name;
    int sampleRate;
    int bitsPerSample;
    double seconds;
};

constexpr ExpectedEffect ExpectedEffects[] = {
    {"MenuClick", 8000, 8, 0.05}, {"Hit", 16000, 8, 1.05},    {"Laser_1", 16000, 8, 0.16},
    {"Plasma", 22050, 16, 0.68},  {"Rocket", 22050, 8, 1.09}, {"Skeel", 8000, 8, 1.83},
    {"NewStage", 11025, 8, 6.63},
};

TEST(GeneratedAudio, EffectsHaveTheBankFormatsAndLengths) {
    ASSERT_EQ(SoundEffectImages.size(), std::size(ExpectedEffects));
    for (size_t i = 0; i < SoundEffectImages.size(); ++i) {
        const ExpectedEffect& expected = ExpectedEffects[i];
        SCOPED_TRACE(expected.name);
        const std::optional<WaveFormat> format = ParseWave(SoundEffectImages[i]);
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(format->formatTag, 1); // PCM
        EXPECT_EQ(format->channels, 1);
        EXPECT_EQ(format->sampleRate, expected.sampleRate);
        EXPECT_EQ(format->bitsPerSample, expected.bitsPerSample);
        const double seconds =
            static_cast<double>(format->dataSize) / (format->sampleRate * format->bitsPerSample / 8);
        EXPECT_NEAR(seconds, expected.seconds, expected.seconds * 0.1);
    }
}

// RMS level of the loudest 50 ms of an effect, from the decoded image.
double LoudestStretch(const WaveFormat& format, size_t count) {
    const size_t window = std::min<size_t>(count, format.sampleRate / 20);
    double loudest = 0.0;
    for (size_t start = 0; start + window <= count; start += window / 8 + 1) {
        double sum = 0.0;
        for (size_t s = start; s < start + window; ++s)
            sum += SampleAt(format, s) * SampleAt(format, s);
        loudest = std::max(loudest, sum / static_cast<double>(window));
    }
    return 20.0 * std::log10(std::sqrt(loudest));
}

// A placeholder would be silent; a careless bank would sit at full scale, or have one effect drown
// the others: every effect is heard at the same loudness (-12 dBFS over its loudest 50 ms).
TEST(GeneratedAudio, EffectsAreEquallyLoudAndNotClipped) {
    for (size_t i = 0; i < SoundEffectImages.size(); ++i) {
        SCOPED_TRACE(ExpectedEffects[i].name);
        const std::optional<WaveFormat> format = ParseWave(SoundEffectImages[i]);
        ASSERT_TRUE(format.has_value());
        const size_t count = format->dataSize / (format->bitsPerSample / 8);
        double peak = 0.0;
        size_t atFullScale = 0;
        for (size_t s = 0; s < count; ++s) {
            const double level = std::abs(SampleAt(*format, s));
            peak = std::max(peak, level);
            if (level > 0.99) ++atFullScale;
        }
        EXPECT_GT(peak, 0.3);
        EXPECT_LT(peak, 0.92);
        EXPECT_EQ(atFullScale, 0u);
        EXPECT_NEAR(LoudestStretch(*format, count), -12.0, 1.0);
    }
}

} // namespace
