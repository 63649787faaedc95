// The synthesiser's voices, filters and finishing steps.
#include "tools/soundgen/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/core/random.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kPeak = 0.891250938;  // -1 dBFS
constexpr double kFade = 0.004;        // seconds at each end

double envelopeAt(const Envelope& e, double t, double length) {
  double level = t < e.attack ? t / e.attack : std::exp(-6.9 * (t - e.attack) / e.decay);
  const double untilEnd = length - t;
  if (untilEnd < e.release) level *= std::max(0.0, untilEnd / e.release);
  return level;
}

// Band-limited shapes summed from their harmonics below the Nyquist frequency.
double waveAt(Wave wave, double phase, double frequency) {
  if (wave == Wave::Sine) return std::sin(phase);
  const int harmonics = std::max(1, static_cast<int>(kSampleRate / 2 / frequency));
  double sum = 0;
  for (int h = 1; h <= harmonics; ++h) {
    switch (wave) {
      case Wave::Triangle:
        if (h % 2) sum += ((h / 2) % 2 ? -1.0 : 1.0) * std::sin(h * phase) / (h * h) * 0.81;
        break;
      case Wave::Square:
        if (h % 2) sum += std::sin(h * phase) / h * 0.9;
        break;
      default:
        sum += std::sin(h * phase) / h * 0.55;
        break;
    }
  }
  return sum;
}

struct Biquad {
  double b0, b1, b2, a1, a2;
  void run(Signal& signal) const {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& sample : signal) {
      const double x = sample;
      const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      sample = static_cast<float>(y);
    }
  }
};

}  // namespace

size_t samplesFor(double seconds) {
  return static_cast<size_t>(std::lround(seconds * kSampleRate));
}

Signal silence(double seconds) {
  return Signal(samplesFor(seconds), 0.0f);
}

void addVoice(Signal& out, double start, double length, const Voice& voice) {
  const size_t first = samplesFor(start), count = samplesFor(length);
  if (out.size() < first + count) out.resize(first + count, 0.0f);
  double phase = 0;
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double frequency = voice.from * std::pow(voice.to / voice.from, t / length);
    frequency *= std::pow(2.0, voice.vibrato * std::sin(kTwoPi * voice.vibratoRate * t) / 12);
    phase += kTwoPi * frequency / kSampleRate;
    out[first + i] += static_cast<float>(voice.amplitude * envelopeAt(voice.envelope, t, length) *
                                         waveAt(voice.wave, phase, frequency));
  }
}

void addBell(Signal& out, double start, double length, double frequency, double amplitude,
             double ratio, double depth, double decay) {
  const size_t first = samplesFor(start), count = samplesFor(length);
  if (out.size() < first + count) out.resize(first + count, 0.0f);
  const Envelope envelope{0.001, decay, 0.02};
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double level = envelopeAt(envelope, t, length);
    const double modulator = depth * level * std::sin(kTwoPi * frequency * ratio * t);
    out[first + i] +=
        static_cast<float>(amplitude * level * std::sin(kTwoPi * frequency * t + modulator));
  }
}

void addBar(Signal& out, double start, double frequency, double amplitude) {
  addVoice(out, start, 0.6, {Wave::Sine, frequency, frequency, amplitude, {0.001, 0.45, 0.05}});
  addVoice(out, start, 0.12,
           {Wave::Sine, 4 * frequency, 4 * frequency, amplitude * 0.35, {0.001, 0.08, 0.02}});
}

void addNoise(Signal& out, double start, double length, double amplitude, const Envelope& envelope,
              uint32_t seed) {
  const size_t first = samplesFor(start), count = samplesFor(length);
  if (out.size() < first + count) out.resize(first + count, 0.0f);
  platform::Random random(seed);
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double white = random.next() / 1073741824.0 - 1.0;
    out[first + i] += static_cast<float>(amplitude * envelopeAt(envelope, t, length) * white);
  }
}

// The filters are the familiar biquads of the audio cookbook, run once over the signal.
void lowPass(Signal& signal, double cutoff) {
  const double w = kTwoPi * cutoff / kSampleRate, alpha = std::sin(w) / (2 * 0.7071);
  const double a0 = 1 + alpha, c = std::cos(w);
  Biquad{(1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0}.run(
      signal);
}

void highPass(Signal& signal, double cutoff) {
  const double w = kTwoPi * cutoff / kSampleRate, alpha = std::sin(w) / (2 * 0.7071);
  const double a0 = 1 + alpha, c = std::cos(w);
  Biquad{(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0}.run(
      signal);
}

void bandPass(Signal& signal, double centre, double q) {
  const double w = kTwoPi * centre / kSampleRate, alpha = std::sin(w) / (2 * q);
  const double a0 = 1 + alpha, c = std::cos(w);
  Biquad{alpha / a0, 0, -alpha / a0, -2 * c / a0, (1 - alpha) / a0}.run(signal);
}

double midiFrequency(double note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12);
}

void mixInto(Signal& out, const Signal& source, double start, double gain) {
  const size_t first = samplesFor(start);
  if (out.size() < first + source.size()) out.resize(first + source.size(), 0.0f);
  for (size_t i = 0; i < source.size(); ++i) {
    out[first + i] += static_cast<float>(gain * source[i]);
  }
}

double peakOf(const Signal& signal) {
  double peak = 0;
  for (float sample : signal) peak = std::max(peak, static_cast<double>(std::fabs(sample)));
  return peak;
}

double rmsOf(const Signal& signal) {
  double sum = 0;
  for (float sample : signal) sum += static_cast<double>(sample) * sample;
  return signal.empty() ? 0 : std::sqrt(sum / static_cast<double>(signal.size()));
}

namespace {

void fadeEnds(Signal& signal) {
  const size_t fade = std::min(samplesFor(kFade), signal.size() / 2);
  for (size_t i = 0; i < fade; ++i) {
    const float level = static_cast<float>(i) / static_cast<float>(fade);
    signal[i] *= level;
    signal[signal.size() - 1 - i] *= level;
  }
}

void scale(Signal& signal, double gain) {
  for (float& sample : signal) sample = static_cast<float>(sample * gain);
}

// Peaks above the knee are bent smoothly towards 1, so loudness can rise without clipping.
void limit(Signal& signal) {
  constexpr double kKnee = 0.5;
  for (float& sample : signal) {
    const double magnitude = std::fabs(sample);
    if (magnitude <= kKnee) continue;
    const double bent = kKnee + (1 - kKnee) * std::tanh((magnitude - kKnee) / (1 - kKnee));
    sample = static_cast<float>(std::copysign(bent, sample));
  }
}

}  // namespace

void finish(Signal& signal, double targetRms) {
  if (peakOf(signal) == 0) return;
  fadeEnds(signal);
  scale(signal, 1 / peakOf(signal));
  if (targetRms > 0 && rmsOf(signal) < targetRms) {
    // Lift quiet sounds in two gentle passes; the limiter keeps their peaks in hand.
    for (int pass = 0; pass < 2; ++pass) {
      scale(signal, std::min(4.0, targetRms / rmsOf(signal)));
      limit(signal);
      scale(signal, 1 / peakOf(signal));
    }
  }
  scale(signal, kPeak);
}

void finishStereo(Signal& left, Signal& right) {
  const size_t length = std::max(left.size(), right.size());
  left.resize(length, 0.0f);
  right.resize(length, 0.0f);
  fadeEnds(left);
  fadeEnds(right);
  const double gain = kPeak / std::max(peakOf(left), peakOf(right));
  scale(left, gain);
  scale(right, gain);
}

std::vector<int16_t> toPcm(const Signal& mono) {
  std::vector<int16_t> out(mono.size());
  for (size_t i = 0; i < mono.size(); ++i) {
    out[i] = static_cast<int16_t>(std::lround(std::clamp(mono[i], -1.0f, 1.0f) * 32767));
  }
  return out;
}

std::vector<int16_t> toPcm(const Signal& left, const Signal& right) {
  std::vector<int16_t> out(2 * left.size());
  const std::vector<int16_t> l = toPcm(left), r = toPcm(right);
  for (size_t i = 0; i < left.size(); ++i) {
    out[2 * i] = l[i];
    out[2 * i + 1] = r[i];
  }
  return out;
}
