// The two music loops, written as bars of chords, a bass, a tune and (in play) drums, mixed to
// stereo. Every note ends before the loop does, so the end joins the start without a click.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/soundgen/sounds.h"

namespace {

struct Note {
  double beat, beats, note;
};

// A bar's chord: its root for the bass and three or four tones for the keys.
struct Chord {
  double root;
  std::vector<double> tones;
};

// Left and right, with each part placed in the stereo field.
struct Band {
  explicit Band(double bpm, int bars) : beat(60 / bpm), length(bars * 4 * beat) {
    left = silence(length);
    right = silence(length);
  }
  double at(double beatNumber) const { return beatNumber * beat; }
  // How long a note of `beats` beats sounds: it rings a little past the next note's start, as
  // released notes do, but never past the end of the loop.
  double ring(double startBeat, double beats) const {
    constexpr double kTail = 0.08;
    return std::min(at(beats) + kTail, length - at(startBeat));
  }
  void place(const Signal& part, double pan, double gain) {  // pan -1 left .. 1 right
    mixInto(left, part, 0, gain * std::sqrt((1 - pan) / 2));
    mixInto(right, part, 0, gain * std::sqrt((1 + pan) / 2));
  }
  MadeSound done() {
    left.resize(samplesFor(length));
    right.resize(samplesFor(length));
    finishStereo(left, right);
    return {left, right};
  }

  double beat, length;
  Signal left, right;
};

void playTune(const Band& band, Signal& out, const std::vector<Note>& tune, Wave wave,
              double amplitude) {
  for (const Note& n : tune) {
    const double frequency = midiFrequency(n.note);
    addVoice(
        out, band.at(n.beat), band.ring(n.beat, n.beats),
        {wave, frequency, frequency, amplitude, {0.008, band.at(n.beats) * 2.5, 0.06}, 0.12, 5.5});
  }
}

void playBass(const Band& band, Signal& out, const std::vector<Chord>& chords,
              const std::vector<double>& pattern) {
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    for (size_t i = 0; i < pattern.size(); ++i) {
      // Each note holds until the next one.
      const double next = i + 1 < pattern.size() ? pattern[i + 1] : 4;
      const double frequency = midiFrequency(chords[bar].root + (i % 4 == 2 ? 7 : 0));
      const double beat = 4.0 * bar + pattern[i];
      addVoice(out, band.at(beat), band.ring(beat, next - pattern[i]),
               {Wave::Saw, frequency, frequency, 0.5, {0.004, band.at(1.5), 0.06}});
    }
  }
  lowPass(out, 700);
}

void playKeys(const Band& band, Signal& out, const std::vector<Chord>& chords,
              const std::vector<double>& hits, double length) {
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    for (double hit : hits) {
      const double beat = 4.0 * bar + hit;
      for (double tone : chords[bar].tones) {
        addBell(out, band.at(beat), band.ring(beat, length), midiFrequency(tone), 0.16, 1.0, 0.9,
                band.at(length) * 1.2);
      }
    }
  }
}

}  // namespace

// In play: bright and quick, 132 beats a minute, eight bars with drums.
MadeSound makeGameMusic() {
  Band band(132, 8);
  const std::vector<Chord> chords = {
      {48, {64, 67, 72}}, {45, {64, 69, 72}}, {41, {65, 69, 72}}, {43, {62, 67, 71}},
      {48, {64, 67, 72}}, {45, {64, 69, 72}}, {41, {65, 69, 72}}, {43, {62, 65, 71}},
  };
  const std::vector<Note> tune = {
      {0, 0.5, 72},    {0.5, 0.5, 76}, {1, 1, 79},      {2, 0.5, 76},    {2.5, 0.5, 79},
      {3, 1, 81},      {4, 0.5, 79},   {4.5, 0.5, 76},  {5, 1, 72},      {6, 1, 69},
      {7, 1, 72},      {8, 0.5, 77},   {8.5, 0.5, 76},  {9, 1, 74},      {10, 0.5, 72},
      {10.5, 0.5, 74}, {11, 1, 77},    {12, 1.5, 79},   {13.5, 0.5, 77}, {14, 1, 76},
      {15, 1, 74},     {16, 0.5, 72},  {16.5, 0.5, 76}, {17, 1, 79},     {18, 0.5, 76},
      {18.5, 0.5, 79}, {19, 1, 81},    {20, 0.5, 84},   {20.5, 0.5, 83}, {21, 1, 81},
      {22, 1, 79},     {23, 1, 76},    {24, 1, 77},     {25, 1, 81},     {26, 1, 79},
      {27, 1, 83},     {28, 1.5, 84},  {29.5, 0.5, 79}, {30, 0.5, 76},   {30.5, 0.5, 74},
      {31, 0.75, 72},
  };
  Signal lead, bass, keys, kick, snare, hats;
  playTune(band, lead, tune, Wave::Square, 0.3);
  lowPass(lead, 3500);
  playBass(band, bass, chords, {0, 1, 1.5, 2, 3, 3.5});
  playKeys(band, keys, chords, {0.5, 1.5, 2.5, 3.5}, 0.5);
  for (int beat = 0; beat < 32; ++beat) {
    if (beat % 2 == 0) {
      addVoice(kick, band.at(beat), 0.16, {Wave::Sine, 150, 45, 0.9, {0.001, 0.12, 0.03}});
    } else {
      Signal hit;
      addNoise(hit, 0, 0.14, 0.6, {0.001, 0.09, 0.03}, 200 + beat);
      bandPass(hit, 1800, 0.8);
      addVoice(hit, 0, 0.08, {Wave::Triangle, 220, 180, 0.3, {0.001, 0.05, 0.02}});
      mixInto(snare, hit, band.at(beat));
    }
    for (double half : {0.0, 0.5}) {
      Signal tick;
      addNoise(tick, 0, 0.035, 0.35, {0.0005, 0.02, 0.01}, 400 + 2 * beat + (half > 0));
      highPass(tick, 6000);
      mixInto(hats, tick, band.at(beat + half));
    }
  }
  band.place(lead, 0.15, 0.8);
  band.place(bass, 0, 0.9);
  band.place(keys, -0.35, 0.7);
  band.place(kick, 0, 0.9);
  band.place(snare, 0.1, 0.6);
  band.place(hats, 0.45, 0.5);
  return band.done();
}

// In the menus: relaxed, 100 beats a minute, eight bars of soft keys, bass and a slow tune.
MadeSound makeMenuMusic() {
  Band band(100, 8);
  const std::vector<Chord> chords = {
      {48, {64, 67, 71}}, {45, {64, 67, 72}}, {50, {65, 69, 72}}, {43, {65, 67, 71}},
      {48, {64, 67, 71}}, {45, {64, 67, 72}}, {41, {64, 69, 72}}, {43, {62, 65, 67}},
  };
  const std::vector<Note> tune = {
      {0, 1.5, 76},  {1.5, 0.5, 74},  {2, 2, 72},  {4, 1, 72},  {5, 1, 74},  {6, 2, 76},
      {8, 1.5, 77},  {9.5, 0.5, 76},  {10, 2, 74}, {12, 1, 71}, {13, 1, 72}, {14, 2, 74},
      {16, 1.5, 76}, {17.5, 0.5, 79}, {18, 2, 79}, {20, 1, 76}, {21, 1, 74}, {22, 2, 72},
      {24, 1.5, 72}, {25.5, 0.5, 74}, {26, 2, 76}, {28, 1, 74}, {29, 1, 71}, {30, 1.7, 72},
  };
  Signal lead, bass, keys;
  playTune(band, lead, tune, Wave::Triangle, 0.35);
  playBass(band, bass, chords, {0, 2, 3.5});
  playKeys(band, keys, chords, {0, 1, 1.5, 2.5, 3}, 0.9);
  Signal shaker;
  for (int eighth = 0; eighth < 64; ++eighth) {
    Signal tick;
    addNoise(tick, 0, 0.05, eighth % 2 ? 0.2 : 0.3, {0.01, 0.03, 0.01}, 600 + eighth);
    highPass(tick, 5000);
    mixInto(shaker, tick, band.at(eighth / 2.0));
  }
  band.place(lead, -0.2, 0.8);
  band.place(bass, 0, 0.8);
  band.place(keys, 0.3, 0.8);
  band.place(shaker, 0.5, 0.4);
  return band.done();
}
