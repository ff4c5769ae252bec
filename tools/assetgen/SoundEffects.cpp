// The seven built-in sound effects, synthesised sample by sample. Each voice below is a function of
// time that returns one sample; the table at the end gives every effect its rate, depth and length.
#include "AssetGen.h"
#include "SoundSynth.h"

#include <cmath>

namespace {

using namespace synth;

// A voice fills `count` samples at `rate`; the effects keep their oscillators and filters as locals.
using Voice = std::vector<double> (*)(int count, double rate);

// A short, rounded blip that falls a fifth: clear on a small speaker without being sharp.
std::vector<double> MenuClick(int count, double rate) {
    std::vector<double> out(count);
    Phase tone;
    Noise noise(0xC11C);
    Filter click;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double pitch = Glide(t, 1320.0, 880.0, 0.03);
        const double body = 0.75 * Sine(tone.Value()) + 0.25 * Triangle(tone.Value());
        tone.Step(pitch, rate);
        const double tick = click.Bandpass(noise.Next(), 2600.0, 0.3, rate) * AttackDecay(t, 0.0005, 0.004);
        out[i] = (body + 0.6 * tick) * AttackDecay(t, 0.002, 0.014);
    }
    return out;
}

// An explosion: a deep thump under a burst of noise whose brightness falls away, with crackles.
std::vector<double> Hit(int count, double rate) {
    std::vector<double> out(count);
    Phase boom;
    Noise noise(0x4B1D), crackleNoise(0xB00B);
    Filter rumble, body, crackleFilter;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double thump = Sine(boom.Step(Glide(t, 110.0, 38.0, 0.35), rate)) * AttackDecay(t, 0.003, 0.22);
        const double white = noise.Next();
        const double roar =
            body.Lowpass(white, Glide(t, 5200.0, 160.0, 0.75), 0.25, rate) * AttackDecay(t, 0.004, 0.28);
        const double low = rumble.Lowpass(white, 260.0, 0.4, rate) * AttackDecay(t, 0.02, 0.45) * 2.2;
        double crackle = 0.0;
        if (t < 0.45 && crackleNoise.Next() > 0.985) crackle = crackleNoise.Next();
        crackle = crackleFilter.Bandpass(crackle, 1800.0, 0.2, rate) * 2.0 * AttackDecay(t, 0.0, 0.18);
        out[i] = SoftClip(1.1 * (0.9 * thump + 0.8 * roar + low + crackle));
    }
    return out;
}

// The basic gun: a bright square-and-saw zap sweeping down, softened by a closing filter.
std::vector<double> Laser(int count, double rate) {
    std::vector<double> out(count);
    Phase osc, sub;
    Filter tone;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double pitch = Glide(t, 2400.0, 320.0, 0.15);
        const double inc = pitch / rate;
        const double p = osc.Step(pitch, rate);
        const double raw = 0.55 * Pulse(p, inc, 0.3) + 0.45 * Saw(sub.Step(pitch * 1.007, rate), inc);
        const double bright = tone.Lowpass(raw, Glide(t, 7000.0, 900.0, 0.14), 0.35, rate);
        out[i] = bright * AttackDecay(t, 0.002, 0.06);
    }
    return out;
}

// Plasma: two detuned saws through a singing band-pass that sweeps up and back, with a 28 Hz
// shimmer and a little fizz on top.
std::vector<double> Plasma(int count, double rate) {
    std::vector<double> out(count);
    Phase a, b, sub;
    Noise noise(0x91A5);
    Filter sweep, fizz;
    const double length = count / rate;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double pitch =
            t < 0.08 ? Glide(t, 180.0, 520.0, 0.08) : Glide(t - 0.08, 520.0, 140.0, length - 0.08);
        const double inc = pitch / rate;
        const double raw = Saw(a.Step(pitch, rate), inc) + Saw(b.Step(pitch * 1.012, rate), inc * 1.012) +
                           0.8 * Sine(sub.Step(pitch * 0.5, rate));
        const double cutoff = 1000.0 + 3000.0 * std::exp(-t / 0.12) + 400.0 * std::sin(TwoPi * 6.0 * t);
        const double sung = sweep.Bandpass(raw, cutoff, 0.82, rate);
        const double shimmer = 0.75 + 0.25 * std::sin(TwoPi * 28.0 * t);
        const double hiss =
            fizz.Highpass(noise.Next(), 5000.0, 0.1, rate) * 0.25 * AttackDecay(t, 0.001, 0.05);
        out[i] = SoftClip(1.4 * (sung * shimmer + hiss)) * AttackDecay(t, 0.004, 0.2) *
                 SmoothRamp(length - t, 0.05);
    }
    return out;
}

// A rocket: an ignition pop, then a hissing, rising thrust that drifts away.
std::vector<double> Rocket(int count, double rate) {
    std::vector<double> out(count);
    Phase pop;
    Noise noise(0x70C3);
    Filter soften, thrust, rumble;
    const double length = count / rate;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double white = soften.Lowpass(noise.Next(), 3500.0, 0.0, rate);
        const double ignition =
            Sine(pop.Step(Glide(t, 240.0, 60.0, 0.08), rate)) * AttackDecay(t, 0.002, 0.05);
        const double whoosh = thrust.Bandpass(
            white, Glide(t, 700.0, 2600.0, 0.5) * (1.0 + 0.15 * std::sin(TwoPi * 9.0 * t)), 0.8, rate);
        const double low = rumble.Lowpass(white, 180.0, 0.3, rate) * 3.0;
        const double level = SmoothRamp(t, 0.05) * std::exp(-t / 0.55) * SmoothRamp(length - t, 0.25);
        out[i] = SoftClip(1.2 * (ignition + (1.4 * whoosh + low) * level));
    }
    return out;
}

// The skull weapon: three glassy voices sliding apart into a tritone cluster over a wind of noise,
// with a slow wobble and echoes of a cold room.
std::vector<double> Skeel(int count, double rate) {
    std::vector<double> out(count);
    Phase voice[3], ring;
    Noise noise(0x5CEE);
    Filter wind;
    constexpr double Start[] = {440.0, 440.0, 440.0};
    constexpr double End[] = {293.7, 415.3, 587.3}; // D, G sharp, D: a tritone
    const double length = count / rate;
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double wobble = 1.0 + 0.012 * std::sin(TwoPi * 5.5 * t);
        double sum = 0.0;
        for (int v = 0; v < 3; ++v)
            sum += Sine(voice[v].Step(Glide(t, Start[v], End[v], 0.9) * wobble, rate));
        const double metal = sum * (0.7 + 0.3 * Sine(ring.Step(47.0, rate)));
        const double gust =
            wind.Bandpass(noise.Next(), 900.0 + 500.0 * std::sin(TwoPi * 0.7 * t), 0.92, rate);
        out[i] = (0.3 * metal + 0.2 * gust) * SmoothRamp(t, 0.12) * SmoothRamp(length - t, 0.9);
    }
    AddReverb(out, rate, 1.6, 0.3, 0.6);
    return out;
}

// The stage fanfare: a brass section of filtered saws over timpani, rising G C E G and settling on a
// held C major chord that swells and fades.
struct FanfareNote {
    double start, length;
    int midiNote;
    double loudness;
    double release;
};

constexpr FanfareNote FanfareNotes[] = {
    {0.00, 0.16, 67, 0.8, 0.08}, {0.18, 0.16, 72, 0.8, 0.08}, {0.36, 0.16, 76, 0.8, 0.08},
    {0.54, 0.80, 79, 1.0, 0.08}, {1.40, 0.16, 76, 0.8, 0.08}, {1.58, 0.16, 79, 0.8, 0.08},
    {1.76, 0.36, 81, 0.9, 0.08}, {2.16, 0.36, 83, 0.9, 0.08}, {2.58, 3.50, 84, 1.0, 1.6},
    {2.58, 3.50, 79, 0.7, 1.6},  {2.58, 3.50, 76, 0.7, 1.6},  {2.58, 3.50, 72, 0.7, 1.6},
    {2.58, 3.50, 48, 0.6, 1.6},
};
constexpr double TimpaniHits[] = {0.0, 0.54, 1.40, 1.76, 2.16, 2.58};

double Brass(double t, const FanfareNote& note, Phase& a, Phase& b, Filter& filter, double rate) {
    const double pitch =
        NoteFrequency(note.midiNote) * (1.0 + 0.004 * std::sin(TwoPi * 5.0 * t) * SmoothRamp(t, 0.4));
    const double inc = pitch / rate;
    const double raw = Saw(a.Step(pitch, rate), inc) + Saw(b.Step(pitch * 1.005, rate), inc);
    const double level =
        SmoothRamp(t, 0.03) * SmoothRamp(note.length - t, note.release) * (t > note.length ? 0.0 : 1.0);
    const double cutoff = 500.0 + 2600.0 * level * (0.6 + 0.4 * std::exp(-t / 0.15));
    return filter.Lowpass(raw, cutoff, 0.15, rate) * level * note.loudness;
}

std::vector<double> NewStage(int count, double rate) {
    std::vector<double> out(count, 0.0);
    for (const FanfareNote& note : FanfareNotes) {
        Phase a, b;
        Filter filter;
        const int first = static_cast<int>(note.start * rate);
        const int last = std::min(count, static_cast<int>((note.start + note.length) * rate) + 1);
        for (int i = first; i < last; ++i)
            out[i] += 0.22 * Brass((i - first) / rate, note, a, b, filter, rate);
    }
    for (double hit : TimpaniHits) {
        Phase drum;
        Noise noise(0x7140);
        Filter skin;
        const int first = static_cast<int>(hit * rate);
        for (int i = first; i < count; ++i) {
            const double t = (i - first) / rate;
            const double tone =
                Sine(drum.Step(Glide(t, 130.0, 82.0, 0.2), rate)) * AttackDecay(t, 0.002, 0.35);
            out[i] += 0.55 * tone +
                      0.2 * skin.Lowpass(noise.Next(), 900.0, 0.2, rate) * AttackDecay(t, 0.001, 0.03);
        }
    }
    AddReverb(out, rate, 1.3, 0.45, 0.35);
    return out;
}

struct EffectFormat {
    const char* name;
    int sampleRate;
    int bitsPerSample;
    int sampleCount;
    Voice voice;
};

// Bank order is fixed: the game addresses effects by index.
constexpr EffectFormat Effects[] = {
    {"MenuClick", 8000, 8, 368, MenuClick},  {"Hit", 16000, 8, 16752, Hit},
    {"Laser_1", 16000, 8, 2604, Laser},      {"Plasma", 22050, 16, 14976, Plasma},
    {"Rocket", 22050, 8, 24130, Rocket},     {"Skeel", 8000, 8, 14676, Skeel},
    {"NewStage", 11025, 8, 73094, NewStage},
};

// Every effect is made equally loud (its loudest 50 ms at -12 dBFS), so the game's own volumes and pans
// alone decide which sound stands out; the mixer sets the level of the whole bank against the music.
constexpr double EffectLoudness = 0.25;
constexpr double EffectPeak = 0.9;

} // namespace

std::vector<std::vector<uint8_t>> MakeSoundEffects() {
    std::vector<std::vector<uint8_t>> images;
    for (const EffectFormat& effect : Effects) {
        std::vector<double> samples = effect.voice(effect.sampleCount, effect.sampleRate);
        NormalizeLoudness(samples, effect.sampleRate, EffectLoudness, EffectPeak);
        FadeEdges(samples, 8, effect.sampleRate / 200);
        images.push_back(EncodeWave(samples, effect.sampleRate, effect.bitsPerSample));
    }
    return images;
}
