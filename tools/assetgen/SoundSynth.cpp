#include "SoundSynth.h"

#include <algorithm>
#include <cmath>

namespace synth {

double Noise::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483647.5 - 1.0;
}

double Phase::Step(double frequency, double sampleRate) {
    const double current = phase_;
    phase_ += frequency / sampleRate;
    phase_ -= std::floor(phase_);
    return current;
}

double Sine(double phase) {
    return std::sin(TwoPi * phase);
}

double Triangle(double phase) {
    return 4.0 * std::fabs(phase - 0.5) - 1.0;
}

namespace {

// The polyBLEP residual that smooths a unit step at phase 0.
double BlepResidual(double phase, double increment) {
    if (increment <= 0.0) return 0.0;
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double Saw(double phase, double increment) {
    return 2.0 * phase - 1.0 - BlepResidual(phase, increment);
}

double Pulse(double phase, double increment, double duty) {
    double value = phase < duty ? 1.0 : -1.0;
    value += BlepResidual(phase, increment);
    double shifted = phase + 1.0 - duty;
    shifted -= std::floor(shifted);
    value -= BlepResidual(shifted, increment);
    return value;
}

Filter::Outputs Filter::Process(double input, double cutoff, double resonance, double sampleRate) {
    cutoff = std::clamp(cutoff, 10.0, sampleRate * 0.45);
    const double g = std::tan(Pi * cutoff / sampleRate);
    const double k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.98); // damping: 2 is flat, near 0 rings
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - state2_;
    const double v1 = a1 * state1_ + a2 * v3;
    const double v2 = state2_ + a2 * state1_ + a3 * v3;
    state1_ = 2.0 * v1 - state1_;
    state2_ = 2.0 * v2 - state2_;
    return {v2, v1, input - k * v1 - v2};
}

double AttackDecay(double t, double attack, double decayTime) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decayTime);
}

double SmoothRamp(double t, double duration) {
    const double x = std::clamp(t / duration, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

double Glide(double t, double from, double to, double duration) {
    const double x = std::clamp(t / duration, 0.0, 1.0);
    return from * std::pow(to / from, x);
}

void AddReverb(std::vector<double>& samples, double sampleRate, double roomSize, double damping, double wet) {
    // Comb and allpass lengths in milliseconds, mutually prime so their echoes do not pile up.
    constexpr double CombMs[] = {29.7, 37.1, 41.1, 43.7};
    constexpr double AllpassMs[] = {5.0, 1.7};
    std::vector<double> mix(samples.size(), 0.0);
    for (double ms : CombMs) {
        std::vector<double> line(
            std::max<size_t>(1, static_cast<size_t>(ms * roomSize * sampleRate / 1000.0)), 0.0);
        size_t at = 0;
        double low = 0.0;
        for (size_t i = 0; i < samples.size(); ++i) {
            const double out = line[at];
            low = out * (1.0 - damping) + low * damping;
            line[at] = samples[i] + low * 0.84;
            at = (at + 1) % line.size();
            mix[i] += out * 0.25;
        }
    }
    for (double ms : AllpassMs) {
        std::vector<double> line(std::max<size_t>(1, static_cast<size_t>(ms * sampleRate / 1000.0)), 0.0);
        size_t at = 0;
        for (double& value : mix) {
            const double delayed = line[at];
            const double fed = value + delayed * 0.5;
            line[at] = fed;
            value = delayed - fed * 0.5;
            at = (at + 1) % line.size();
        }
    }
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] += wet * mix[i];
}

void Normalize(std::vector<double>& samples, double peak) {
    double loudest = 0.0;
    for (double value : samples)
        loudest = std::max(loudest, std::fabs(value));
    if (loudest <= 0.0) return;
    for (double& value : samples)
        value *= peak / loudest;
}

double ShortTermLoudness(const std::vector<double>& samples, double sampleRate) {
    const size_t window = std::max<size_t>(1, static_cast<size_t>(sampleRate * 0.05));
    double sum = 0.0, loudest = 0.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        sum += samples[i] * samples[i];
        if (i >= window) sum -= samples[i - window] * samples[i - window];
        loudest = std::max(loudest, sum);
    }
    return std::sqrt(std::max(0.0, loudest) / static_cast<double>(std::min(window, samples.size())));
}

void NormalizeLoudness(std::vector<double>& samples, double sampleRate, double loudness, double peak) {
    const double heard = ShortTermLoudness(samples, sampleRate);
    double loudestSample = 0.0;
    for (double value : samples)
        loudestSample = std::max(loudestSample, std::fabs(value));
    if (heard <= 0.0 || loudestSample <= 0.0) return;
    const double scale = std::min(loudness / heard, peak / loudestSample);
    for (double& value : samples)
        value *= scale;
}

void FadeEdges(std::vector<double>& samples, int fadeIn, int fadeOut) {
    const int count = static_cast<int>(samples.size());
    for (int i = 0; i < fadeIn && i < count; ++i)
        samples[i] *= static_cast<double>(i) / fadeIn;
    for (int i = 0; i < fadeOut && i < count; ++i)
        samples[count - 1 - i] *= static_cast<double>(i) / fadeOut;
}

double SoftClip(double x) {
    return std::tanh(x);
}

namespace {

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

} // namespace

std::vector<uint8_t> EncodeWave(const std::vector<double>& samples, int sampleRate, int bitsPerSample) {
    const uint32_t bytesPerSample = bitsPerSample / 8;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size()) * bytesPerSample;
    std::vector<uint8_t> out;
    out.reserve(44 + dataSize + 1);
    PutTag(out, "RIFF");
    PutLittleEndian(out, 36 + dataSize + (dataSize & 1), 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2); // PCM
    PutLittleEndian(out, 1, 2); // mono
    PutLittleEndian(out, sampleRate, 4);
    PutLittleEndian(out, sampleRate * bytesPerSample, 4);
    PutLittleEndian(out, bytesPerSample, 2);
    PutLittleEndian(out, bitsPerSample, 2);
    PutTag(out, "data");
    PutLittleEndian(out, dataSize, 4);
    for (double value : samples) {
        const double clamped = std::clamp(value, -1.0, 1.0);
        if (bitsPerSample == 8) {
            out.push_back(static_cast<uint8_t>(std::lround(128.0 + clamped * 127.0)));
        } else {
            const auto word = static_cast<int16_t>(std::lround(clamped * 32767.0));
            PutLittleEndian(out, static_cast<uint16_t>(word), 2);
        }
    }
    if (dataSize & 1) out.push_back(0); // RIFF chunks are padded to an even size
    return out;
}

double NoteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

} // namespace synth
