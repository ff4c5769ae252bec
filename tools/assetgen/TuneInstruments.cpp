#include "TuneInstruments.h"

#include "SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace tune {

namespace {

using namespace synth;

constexpr double Rate = 33452.0; // four times the speed at which C-4 plays a sample
constexpr double MiddleC = 261.6256;
constexpr double Peak = 0.85;

std::vector<int16_t> ToPcm(std::vector<double> samples) {
    Normalize(samples, Peak);
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(samples[i], -1.0, 1.0) * 32767.0));
    return pcm;
}

std::vector<double> Render(int count, const std::function<double(double t)>& voice) {
    std::vector<double> out(count);
    for (int i = 0; i < count; ++i)
        out[i] = voice(i / Rate);
    return out;
}

xm::Instrument MakeInstrument(const char* name, std::vector<double> data, double baseFrequency,
                              uint32_t loopStart = 0, uint32_t loopLength = 0) {
    xm::Instrument instrument;
    instrument.name = name;
    instrument.sample.data = ToPcm(std::move(data));
    instrument.sample.loopStart = loopStart;
    instrument.sample.loopLength = loopLength;
    xm::TuneSample(instrument.sample, Rate, baseFrequency);
    return instrument;
}

// A drum: rendered once, played on C-4 at its recorded speed, never looped.
xm::Instrument Drum(const char* name, double seconds, double fadeOutSeconds,
                    const std::function<double(double t)>& voice) {
    std::vector<double> data = Render(static_cast<int>(seconds * Rate), voice);
    Normalize(data, 1.0);
    FadeEdges(data, 0, static_cast<int>(fadeOutSeconds * Rate));
    return MakeInstrument(name, std::move(data), MiddleC);
}

// Attack up to full level, fall to `sustain` and hold it until the key-off, then fade out over
// `release` seconds.
void ShapeVolume(xm::Instrument& instrument, Tempo tempo, double attack, double decay, int sustain,
                 double release) {
    const double tick = tempo.TickSeconds();
    const auto attackTicks = static_cast<uint16_t>(std::max(1.0, std::round(attack / tick)));
    const auto decayTicks = static_cast<uint16_t>(std::max(1.0, std::round(decay / tick)));
    instrument.volumeEnvelope = {
        {0, static_cast<uint16_t>(attack > 0.0 ? 0 : 64)},
        {attackTicks, 64},
        {static_cast<uint16_t>(attackTicks + decayTicks), static_cast<uint16_t>(sustain)}};
    instrument.sustainPoint = 2;
    instrument.fadeout = static_cast<uint16_t>(std::clamp(65536.0 * tick / release, 1.0, 4095.0));
}

// A tone whose loop of `loopLength` samples holds whole cycles of every partial: `render(i)` is sampled
// twice over that length and the second pass kept, so filters have settled into their steady state.
std::vector<double> SteadyLoop(uint32_t loopLength, const std::function<double(uint32_t i)>& render) {
    std::vector<double> both(2 * loopLength);
    for (uint32_t i = 0; i < both.size(); ++i)
        both[i] = render(i);
    return {both.begin() + loopLength, both.end()};
}

// Cycles per loop for the oscillators: the loop is long enough that detuned voices drift slowly
// against each other (one cycle apart per loop is a few cents).
constexpr uint32_t LongLoop = 16384;

double CycleFrequency(uint32_t cyclesPerLoop) {
    return cyclesPerLoop * Rate / LongLoop;
}

// Three saws, a few cents apart, plus a sine an octave below, through a gentle low-pass.
std::vector<double> DetunedSaws(uint32_t cycles, const uint32_t (&spread)[3], double cutoff,
                                double subLevel) {
    Phase phases[3], sub;
    Filter filter;
    return SteadyLoop(LongLoop, [&](uint32_t) {
        double sum = 0.0;
        for (int v = 0; v < 3; ++v) {
            const double frequency = CycleFrequency(spread[v]);
            sum += Saw(phases[v].Step(frequency, Rate), frequency / Rate);
        }
        sum += subLevel * Sine(sub.Step(CycleFrequency(cycles / 2), Rate));
        return filter.Lowpass(sum, cutoff, 0.1, Rate);
    });
}

} // namespace

xm::Instrument Kick() {
    Phase body;
    Noise noise(0x4B1C);
    Filter click;
    return Drum("Kick", 0.45, 0.05, [&](double t) {
        const double thump = Sine(body.Step(Glide(t, 170.0, 46.0, 0.11), Rate)) * AttackDecay(t, 0.001, 0.16);
        const double tick = click.Bandpass(noise.Next(), 3000.0, 0.2, Rate) * AttackDecay(t, 0.0005, 0.004);
        return SoftClip(1.6 * thump + 0.5 * tick);
    });
}

xm::Instrument Snare() {
    Phase body;
    Noise noise(0x5A4E);
    Filter soften, rattle;
    return Drum("Snare", 0.32, 0.05, [&](double t) {
        const double tone = Sine(body.Step(Glide(t, 230.0, 170.0, 0.05), Rate)) * AttackDecay(t, 0.001, 0.05);
        const double hiss = soften.Lowpass(noise.Next(), 7500.0, 0.0, Rate);
        const auto noiseBands = rattle.Process(hiss, 3200.0, 0.2, Rate);
        const double snares = (noiseBands.band + 0.4 * noiseBands.high) * AttackDecay(t, 0.001, 0.08);
        return SoftClip(0.9 * tone + 1.1 * snares);
    });
}

namespace {

// Six square waves at unrelated pitches: the metallic core of a cymbal.
double Metal(Phase (&phases)[6], double t, double decay) {
    constexpr double Pitches[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double sum = 0.0;
    for (int i = 0; i < 6; ++i)
        sum += phases[i].Step(Pitches[i] * 1.7, Rate) < 0.5 ? 1.0 : -1.0;
    return sum / 6.0 * AttackDecay(t, 0.0005, decay);
}

xm::Instrument Cymbal(const char* name, double seconds, double decay, double brightness, uint32_t seed) {
    Phase phases[6];
    Noise noise(seed);
    Filter metalFilter, noiseFilter;
    return Drum(name, seconds, seconds * 0.2, [&](double t) {
        const double ring = metalFilter.Highpass(Metal(phases, t, decay), 7000.0, 0.3, Rate);
        const double hiss =
            noiseFilter.Highpass(noise.Next(), brightness, 0.1, Rate) * AttackDecay(t, 0.0005, decay);
        return 0.7 * ring + 0.5 * hiss;
    });
}

} // namespace

xm::Instrument ClosedHat() {
    return Cymbal("Closed hat", 0.09, 0.025, 8000.0, 0xC105);
}
xm::Instrument OpenHat() {
    return Cymbal("Open hat", 0.4, 0.14, 7000.0, 0x09E0);
}
xm::Instrument Crash() {
    return Cymbal("Crash", 1.8, 0.6, 4500.0, 0xC4A5);
}

xm::Instrument PluckBass(Tempo tempo) {
    constexpr uint32_t Period = 512; // 65.3 Hz, close to C-2
    constexpr uint32_t SweepCycles = 28;
    const double frequency = Rate / Period;
    Phase saw, square;
    Filter filter;
    std::vector<double> data(Period * (SweepCycles + 2));
    for (uint32_t i = 0; i < data.size(); ++i) {
        const double t = std::min<double>(i, Period * SweepCycles) / Rate;
        const double raw = Saw(saw.Step(frequency, Rate), frequency / Rate) +
                           0.5 * Pulse(square.Step(frequency, Rate), frequency / Rate, 0.5);
        data[i] = filter.Lowpass(raw, Glide(t, 2600.0, 420.0, 0.2), 0.35, Rate);
    }
    xm::Instrument bass =
        MakeInstrument("Pluck bass", std::move(data), frequency, Period * SweepCycles, Period * 2);
    ShapeVolume(bass, tempo, 0.0, 0.25, 40, 0.08);
    return bass;
}

xm::Instrument RoundBass(Tempo tempo) {
    constexpr uint32_t Period = 512;
    const double frequency = Rate / Period;
    Filter filter;
    std::vector<double> data = SteadyLoop(Period, [&](uint32_t i) {
        const double p = static_cast<double>(i % Period) / Period;
        return filter.Lowpass(Sine(p) + 0.35 * Triangle(p) + 0.12 * Sine(2.0 * p), 900.0, 0.0, Rate);
    });
    xm::Instrument bass = MakeInstrument("Round bass", std::move(data), frequency, 0, Period);
    ShapeVolume(bass, tempo, 0.02, 0.6, 44, 0.35);
    return bass;
}

xm::Instrument SawLead(Tempo tempo) {
    constexpr uint32_t Cycles = 256; // 522.7 Hz, close to C-5
    Phase pulse, saw;
    Filter filter;
    std::vector<double> data = SteadyLoop(LongLoop, [&](uint32_t) {
        const double f1 = CycleFrequency(Cycles), f2 = CycleFrequency(Cycles + 2);
        const double raw =
            Pulse(pulse.Step(f1, Rate), f1 / Rate, 0.3) + 0.8 * Saw(saw.Step(f2, Rate), f2 / Rate);
        return filter.Lowpass(raw, 4200.0, 0.25, Rate);
    });
    xm::Instrument lead = MakeInstrument("Saw lead", std::move(data), CycleFrequency(Cycles), 0, LongLoop);
    ShapeVolume(lead, tempo, 0.005, 0.3, 50, 0.12);
    lead.vibratoDepth = 3;
    lead.vibratoRate = 10;
    lead.vibratoSweep = 48;
    return lead;
}

xm::Instrument FluteLead(Tempo tempo) {
    constexpr uint32_t Cycles = 256;
    Phase tone, drift, fifth;
    Filter filter;
    std::vector<double> data = SteadyLoop(LongLoop, [&](uint32_t) {
        const double f = CycleFrequency(Cycles);
        const double body = Sine(tone.Step(f, Rate)) +
                            0.3 * Triangle(drift.Step(CycleFrequency(Cycles + 1), Rate)) +
                            0.12 * Sine(fifth.Step(CycleFrequency(2 * Cycles), Rate));
        return filter.Lowpass(body, 3000.0, 0.0, Rate);
    });
    xm::Instrument lead = MakeInstrument("Flute lead", std::move(data), CycleFrequency(Cycles), 0, LongLoop);
    ShapeVolume(lead, tempo, 0.08, 0.5, 52, 0.4);
    lead.vibratoDepth = 4;
    lead.vibratoRate = 7;
    lead.vibratoSweep = 80;
    return lead;
}

xm::Instrument WarmPad(Tempo tempo, double brightness) {
    constexpr uint32_t Cycles = 128; // 261.3 Hz, close to C-4
    constexpr uint32_t Spread[3] = {Cycles - 1, Cycles, Cycles + 1};
    xm::Instrument pad =
        MakeInstrument("Warm pad", DetunedSaws(Cycles, Spread, 600.0 + 1800.0 * brightness, 1.2),
                       CycleFrequency(Cycles), 0, LongLoop);
    ShapeVolume(pad, tempo, 0.6, 0.8, 52, 1.2);
    return pad;
}

xm::Instrument Bell() {
    const double frequency = CycleFrequency(256);
    Phase carrier, modulator, shimmer;
    std::vector<double> data = Render(static_cast<int>(1.8 * Rate), [&](double t) {
        const double index = 1.5 * std::exp(-t / 0.4);
        const double mod = Sine(modulator.Step(frequency * 3.5, Rate));
        const double tone = std::sin(TwoPi * carrier.Step(frequency, Rate) + index * mod);
        const double high = 0.15 * Sine(shimmer.Step(frequency * 4.0, Rate)) * std::exp(-t / 0.15);
        return (tone + high) * AttackDecay(t, 0.002, 0.55);
    });
    FadeEdges(data, 0, static_cast<int>(0.2 * Rate));
    return MakeInstrument("Bell", std::move(data), frequency);
}

xm::Instrument Pluck() {
    const double frequency = CycleFrequency(256);
    Phase saw, pulse;
    Filter filter;
    std::vector<double> data = Render(static_cast<int>(0.5 * Rate), [&](double t) {
        const double raw = Saw(saw.Step(frequency, Rate), frequency / Rate) +
                           0.6 * Pulse(pulse.Step(frequency * 1.003, Rate), frequency / Rate, 0.25);
        return filter.Lowpass(raw, Glide(t, 5500.0, 500.0, 0.18), 0.3, Rate) * AttackDecay(t, 0.002, 0.14);
    });
    FadeEdges(data, 0, static_cast<int>(0.05 * Rate));
    return MakeInstrument("Pluck", std::move(data), frequency);
}

} // namespace tune
