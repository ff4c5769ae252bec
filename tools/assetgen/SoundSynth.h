// The small synthesiser shared by the sound effects and the tunes' instruments: oscillators, noise,
// filters, envelopes and WAVE encoding. Everything is deterministic: one fixed-seed noise source, no
// clocks, no library randomness.
#pragma once

#include <cstdint>
#include <vector>

namespace synth {

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;

// White noise in [-1, 1] from a 32-bit xorshift; the same seed gives the same sound on every build.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    double Next();

  private:
    uint32_t state_;
};

// An oscillator that integrates its frequency, so pitch sweeps stay continuous.
class Phase {
  public:
    // Advances by one sample and returns the phase in [0, 1) before the step.
    double Step(double frequency, double sampleRate);
    double Value() const { return phase_; }

  private:
    double phase_ = 0.0;
};

double Sine(double phase);
double Triangle(double phase);
// Band-limited (polyBLEP) saw and pulse: the step is rounded off over one sample so high notes do
// not fold back into whistles.
double Saw(double phase, double increment);
double Pulse(double phase, double increment, double duty);

// Zavalishin's state-variable filter: stable under fast cutoff sweeps.
class Filter {
  public:
    struct Outputs {
        double low, band, high;
    };
    Outputs Process(double input, double cutoff, double resonance, double sampleRate);
    double Lowpass(double input, double cutoff, double resonance, double sampleRate) {
        return Process(input, cutoff, resonance, sampleRate).low;
    }
    double Bandpass(double input, double cutoff, double resonance, double sampleRate) {
        return Process(input, cutoff, resonance, sampleRate).band;
    }
    double Highpass(double input, double cutoff, double resonance, double sampleRate) {
        return Process(input, cutoff, resonance, sampleRate).high;
    }

  private:
    double state1_ = 0.0, state2_ = 0.0;
};

// Level of an attack-then-exponential-decay envelope at time t seconds.
double AttackDecay(double t, double attack, double decayTime);
// 0 at t = 0 rising to 1 at t = duration along a smooth curve; clamped outside.
double SmoothRamp(double t, double duration);
// Exponential glide from `from` to `to` over `duration` seconds, held at `to` afterwards.
double Glide(double t, double from, double to, double duration);

// A small room: four damped combs and two allpasses, mixed `wet` over the dry signal. The tail is
// added into the buffer, so leave silence at the end for it.
void AddReverb(std::vector<double>& samples, double sampleRate, double roomSize, double damping, double wet);

// Scales so the loudest sample reaches `peak`, then rounds the ends off over a few samples so the
// sound starts and stops without a click.
void Normalize(std::vector<double>& samples, double peak);
void FadeEdges(std::vector<double>& samples, int fadeIn, int fadeOut);
// How loud a sound is heard: the RMS level of its loudest 50 ms.
double ShortTermLoudness(const std::vector<double>& samples, double sampleRate);
// Scales so the short-term loudness reaches `loudness`, unless that would take a sample past `peak`;
// then the peak decides.
void NormalizeLoudness(std::vector<double>& samples, double sampleRate, double loudness, double peak);
double SoftClip(double x);

// RIFF WAVE image, PCM mono, 8-bit unsigned or 16-bit signed.
std::vector<uint8_t> EncodeWave(const std::vector<double>& samples, int sampleRate, int bitsPerSample);

double NoteFrequency(int midiNote);

} // namespace synth
