#include "XmWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace xm {

namespace {

constexpr double MiddleC = 261.6256;
constexpr double RateOfC4 = 8363.0; // the speed at which C-4 plays a sample with no relative note
constexpr uint32_t HeaderSizeFromOffset60 = 276;
constexpr uint32_t InstrumentHeaderSize = 263;
constexpr uint32_t SampleHeaderSize = 40;
constexpr int MaxEnvelopePoints = 12;

class ByteWriter {
  public:
    void U8(uint32_t value) { bytes_.push_back(static_cast<uint8_t>(value)); }
    void U16(uint32_t value) {
        U8(value & 0xFF);
        U8(value >> 8);
    }
    void U32(uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    // A fixed-width text field, padded with `pad`.
    void Text(const std::string& text, size_t width, char pad = ' ') {
        for (size_t i = 0; i < width; ++i)
            U8(static_cast<uint8_t>(i < text.size() ? text[i] : pad));
    }
    void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

void Check(bool condition, const char* what) {
    if (!condition) throw std::invalid_argument(std::string("XM module: ") + what);
}

void WriteHeader(ByteWriter& out, const Module& module) {
    out.Text("Extended Module: ", 17);
    out.Text(module.name, 20);
    out.U8(0x1A);
    out.Text("VANTORIX assetgen", 20);
    out.U16(0x0104);
    out.U32(HeaderSizeFromOffset60);
    out.U16(static_cast<uint32_t>(module.orders.size()));
    out.U16(module.restartPosition);
    out.U16(module.channels);
    out.U16(static_cast<uint32_t>(module.patterns.size()));
    out.U16(static_cast<uint32_t>(module.instruments.size()));
    out.U16(1); // linear frequency table
    out.U16(module.ticksPerRow);
    out.U16(module.beatsPerMinute);
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < module.orders.size() ? module.orders[i] : 0);
}

// Packed cells: a flag byte with the high bit set says which of the five fields follow.
std::vector<uint8_t> PackPattern(const Pattern& pattern) {
    ByteWriter packed;
    for (const Cell& cell : pattern.cells) {
        const uint8_t fields[] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
        uint8_t flags = 0x80;
        for (int i = 0; i < 5; ++i)
            if (fields[i]) flags |= static_cast<uint8_t>(1 << i);
        packed.U8(flags);
        for (int i = 0; i < 5; ++i)
            if (fields[i]) packed.U8(fields[i]);
    }
    return packed.Take();
}

void WritePattern(ByteWriter& out, const Pattern& pattern) {
    const std::vector<uint8_t> packed = PackPattern(pattern);
    Check(packed.size() <= 0xFFFF, "pattern too large");
    out.U32(9);
    out.U8(0); // packing type
    out.U16(pattern.rows);
    out.U16(static_cast<uint32_t>(packed.size()));
    for (uint8_t byte : packed)
        out.U8(byte);
}

void WriteEnvelope(ByteWriter& out, const std::vector<EnvelopePoint>& points) {
    for (int i = 0; i < MaxEnvelopePoints; ++i) {
        const bool used = i < static_cast<int>(points.size());
        out.U16(used ? points[i].tick : 0);
        out.U16(used ? points[i].value : 0);
    }
}

void WriteInstrument(ByteWriter& out, const Instrument& instrument) {
    const Sample& sample = instrument.sample;
    const size_t start = out.Size();
    const bool envelopeOn = !instrument.volumeEnvelope.empty();
    out.U32(InstrumentHeaderSize);
    out.Text(instrument.name, 22, '\0');
    out.U8(0);
    out.U16(1); // one sample per instrument
    out.U32(SampleHeaderSize);
    out.Zeros(96); // every note plays sample 0
    WriteEnvelope(out, instrument.volumeEnvelope);
    WriteEnvelope(out, {});
    out.U8(static_cast<uint32_t>(instrument.volumeEnvelope.size()));
    out.U8(0);
    out.U8(std::max(instrument.sustainPoint, 0));
    out.Zeros(2); // volume loop start, end
    out.Zeros(3); // panning sustain, loop start, end
    out.U8(envelopeOn ? (instrument.sustainPoint >= 0 ? 3 : 1) : 0);
    out.U8(0);
    out.U8(0); // vibrato waveform: sine
    out.U8(instrument.vibratoSweep);
    out.U8(instrument.vibratoDepth);
    out.U8(instrument.vibratoRate);
    out.U16(instrument.fadeout);
    out.Zeros(InstrumentHeaderSize - (out.Size() - start));

    const bool looped = sample.loopLength > 0;
    out.U32(static_cast<uint32_t>(sample.data.size() * 2));
    out.U32(sample.loopStart * 2);
    out.U32(sample.loopLength * 2);
    out.U8(sample.volume);
    out.U8(static_cast<uint8_t>(sample.finetune));
    out.U8((looped ? 1 : 0) | 0x10); // forward loop, 16-bit
    out.U8(sample.panning);
    out.U8(static_cast<uint8_t>(sample.relativeNote));
    out.U8(0);
    out.Text(instrument.name, 22, '\0');

    int16_t previous = 0; // sample data is stored as differences
    for (int16_t value : sample.data) {
        out.U16(static_cast<uint16_t>(value - previous));
        previous = value;
    }
}

void CheckModule(const Module& module) {
    Check(module.channels >= 2 && module.channels <= 32 && module.channels % 2 == 0, "channel count");
    Check(!module.orders.empty() && module.orders.size() <= 256, "order count");
    Check(module.restartPosition >= 0 && module.restartPosition < static_cast<int>(module.orders.size()),
          "restart position");
    Check(!module.patterns.empty() && module.patterns.size() <= 256, "pattern count");
    Check(module.instruments.size() <= 128, "instrument count");
    for (uint8_t order : module.orders)
        Check(order < module.patterns.size(), "order names a missing pattern");
    for (const Pattern& pattern : module.patterns) {
        Check(pattern.channels == module.channels && pattern.rows >= 1 && pattern.rows <= 256,
              "pattern shape");
        for (const Cell& cell : pattern.cells) {
            Check(cell.note <= KeyOff, "note out of range");
            Check(cell.instrument <= module.instruments.size(), "cell names a missing instrument");
        }
    }
    for (const Instrument& instrument : module.instruments) {
        const Sample& sample = instrument.sample;
        Check(!sample.data.empty(), "empty sample");
        Check(sample.loopStart + sample.loopLength <= sample.data.size(), "loop beyond the sample");
        Check(instrument.volumeEnvelope.size() <= MaxEnvelopePoints, "too many envelope points");
        Check(instrument.sustainPoint < static_cast<int>(instrument.volumeEnvelope.size()), "sustain point");
    }
}

} // namespace

void TuneSample(Sample& sample, double sampleRate, double baseFrequency) {
    const double semitones = 12.0 * std::log2(MiddleC * sampleRate / (RateOfC4 * baseFrequency));
    const double relative = std::round(semitones);
    sample.relativeNote = static_cast<int8_t>(std::clamp(relative, -96.0, 95.0));
    sample.finetune =
        static_cast<int8_t>(std::clamp(std::round((semitones - relative) * 128.0), -128.0, 127.0));
}

std::vector<uint8_t> WriteModule(const Module& module) {
    CheckModule(module);
    ByteWriter out;
    WriteHeader(out, module);
    for (const Pattern& pattern : module.patterns)
        WritePattern(out, pattern);
    for (const Instrument& instrument : module.instruments)
        WriteInstrument(out, instrument);
    return out.Take();
}

} // namespace xm
