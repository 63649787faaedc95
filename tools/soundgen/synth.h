// A small synthesiser for the game's sounds: voices with pitch sweeps and envelopes, noise,
// filters, and the finishing steps (fades, level, 16-bit samples). Everything is deterministic:
// the same program writes the same samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr double kSampleRate = 22050;

using Signal = std::vector<float>;

// Seconds to samples.
size_t samplesFor(double seconds);
Signal silence(double seconds);

// A note's loudness over its life: a linear rise over `attack` seconds, then an exponential fall
// to a thousandth over `decay` seconds, ending with a `release`-long fade to zero at the note's
// end so nothing clicks.
struct Envelope {
  double attack = 0.002;
  double decay = 1.0;
  double release = 0.01;
};

enum class Wave { Sine, Triangle, Square, Saw };

// One voice added into `out` at `start` seconds for `length` seconds. Its frequency slides
// exponentially from `from` to `to` Hz; `vibrato` is a depth in semitones at `vibratoRate` Hz.
struct Voice {
  Wave wave = Wave::Sine;
  double from = 440, to = 440;
  double amplitude = 0.5;
  Envelope envelope;
  double vibrato = 0, vibratoRate = 6;
};
void addVoice(Signal& out, double start, double length, const Voice& voice);

// A struck bar or bell by frequency modulation: a `ratio` modulator whose depth decays with the
// note.
void addBell(Signal& out, double start, double length, double frequency, double amplitude,
             double ratio, double depth, double decay);

// A xylophone bar: the fundamental and its fourth harmonic, quickly damped.
void addBar(Signal& out, double start, double frequency, double amplitude);

// White noise from a fixed seed, shaped by an envelope.
void addNoise(Signal& out, double start, double length, double amplitude, const Envelope& envelope,
              uint32_t seed);

// Filters over a whole signal.
void lowPass(Signal& signal, double cutoff);
void highPass(Signal& signal, double cutoff);
void bandPass(Signal& signal, double centre, double q);

// A note name's frequency: 69 is A4 at 440 Hz.
double midiFrequency(double note);

// Mixes `source` into `out` at `start` seconds, scaled.
void mixInto(Signal& out, const Signal& source, double start, double gain = 1.0);

// The finish of every sound: short fades at both ends, a gentle limiter that lifts quiet sounds
// towards `targetRms` (a linear level; 0 leaves the level alone), then the peak set to -1 dBFS.
void finish(Signal& signal, double targetRms);
void finishStereo(Signal& left, Signal& right);

double peakOf(const Signal& signal);
double rmsOf(const Signal& signal);

// Samples for the file: mono, or left and right interleaved.
std::vector<int16_t> toPcm(const Signal& mono);
std::vector<int16_t> toPcm(const Signal& left, const Signal& right);
