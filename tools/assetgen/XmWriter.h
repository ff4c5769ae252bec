// A FastTracker 2 extended module (XM 1.04) in memory, and its byte-exact file image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

inline constexpr uint8_t KeyOff = 97; // the note value that releases a held note
inline constexpr uint8_t EffectSetPanning = 0x08;
inline constexpr uint8_t EffectVolumeSlide = 0x0A;

// Volume column: 0x10 + 0 ... 64 sets the volume.
constexpr uint8_t Volume(int level) {
    return static_cast<uint8_t>(0x10 + (level < 0 ? 0 : level > 64 ? 64 : level));
}

struct Cell {
    uint8_t note = 0; // 1 = C-0 ... 96 = B-7, KeyOff, 0 = nothing
    uint8_t instrument = 0;
    uint8_t volume = 0;
    uint8_t effect = 0;
    uint8_t parameter = 0;
};

struct Pattern {
    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<size_t>(rowCount * channelCount)) {}
    Cell& At(int row, int channel) { return cells.at(static_cast<size_t>(row * channels + channel)); }
    const Cell& At(int row, int channel) const {
        return cells.at(static_cast<size_t>(row * channels + channel));
    }

    int rows;
    int channels;
    std::vector<Cell> cells;
};

struct Sample {
    std::vector<int16_t> data; // always written as 16-bit
    uint32_t loopStart = 0;    // in sample frames
    uint32_t loopLength = 0;   // 0: no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    int8_t relativeNote = 0;
    uint8_t panning = 128;
};

struct EnvelopePoint {
    uint16_t tick;
    uint16_t value; // 0 ... 64
};

struct Instrument {
    std::string name;
    Sample sample;
    std::vector<EnvelopePoint> volumeEnvelope; // empty: envelope off, a key-off cuts the note
    int sustainPoint = -1;
    uint16_t fadeout = 0;
    uint8_t vibratoDepth = 0, vibratoRate = 0, vibratoSweep = 0;
};

struct Module {
    std::string name;
    int channels = 8;
    int ticksPerRow = 6;
    int beatsPerMinute = 125;
    int restartPosition = 0;
    std::vector<uint8_t> orders;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments; // instrument 1 is instruments[0]
};

// Sets relative note and finetune so that every note plays at its true pitch (C-4 is middle C), given
// that the sample holds a tone of `baseFrequency` Hz recorded at `sampleRate`. Drums pass middle C's
// frequency so that C-4 plays them at their recorded speed.
void TuneSample(Sample& sample, double sampleRate, double baseFrequency);

std::vector<uint8_t> WriteModule(const Module& module);

} // namespace xm
