// Recipes of the one-shot effects and of the feet's patter. Lengths are short; every effect is
// lifted towards one loudness so that none drowns the others.
#include <cmath>

#include "tools/soundgen/sounds.h"

namespace {

// The loudness effects are lifted towards, as an RMS level of a signal peaking at 1.
constexpr double kEffectRms = 0.16;

MadeSound finished(Signal signal) {
  finish(signal, kEffectRms);
  return {std::move(signal), {}};
}

// A pop: a tone dropping an octave in a moment, with a breath of noise on top.
MadeSound cork(double frequency, uint32_t seed) {
  Signal out = silence(0.14);
  addVoice(out, 0, 0.12, {Wave::Sine, 2 * frequency, frequency, 0.8, {0.001, 0.07, 0.02}});
  Signal breath;
  addNoise(breath, 0, 0.03, 0.5, {0.001, 0.02, 0.005}, seed);
  bandPass(breath, 2 * frequency, 2);
  mixInto(out, breath, 0);
  return finished(out);
}

// The crab's voice: a buzzing throat through the formants of a vowel, in a few syllables.
struct Syllable {
  double start, length, fromNote, toNote;
  double formant1, formant2;
};

MadeSound grumble(std::initializer_list<Syllable> syllables, uint32_t seed) {
  Signal out;
  for (const Syllable& s : syllables) {
    Signal throat;
    addVoice(throat, 0, s.length,
             {Wave::Saw,
              midiFrequency(s.fromNote),
              midiFrequency(s.toNote),
              0.6,
              {0.03, s.length * 1.5, 0.06},
              0.3,
              7});
    addNoise(throat, 0, s.length, 0.08, {0.03, s.length, 0.06}, seed++);
    Signal low = throat, high = throat;
    bandPass(low, s.formant1, 4);
    bandPass(high, s.formant2, 6);
    mixInto(out, low, s.start, 1.0);
    mixInto(out, high, s.start, 0.6);
  }
  lowPass(out, 3000);
  return finished(out);
}

}  // namespace

// A till drawer: a rattle of coins, then two bright rings.
MadeSound makeChaching() {
  Signal out = silence(0.7);
  Signal rattle;
  addNoise(rattle, 0, 0.12, 0.6, {0.002, 0.08, 0.02}, 11);
  highPass(rattle, 2500);
  mixInto(out, rattle, 0);
  addBell(out, 0.08, 0.6, 1975.5, 0.5, 1.41, 1.2, 0.5);
  addBell(out, 0.16, 0.54, 2637.0, 0.45, 1.41, 1.0, 0.45);
  return finished(out);
}

// A short bright ding: it rings on every score, so it stays light.
MadeSound makeBell() {
  Signal out;
  addBell(out, 0, 0.45, 1568.0, 0.7, 3.5, 1.5, 0.3);
  addBell(out, 0, 0.3, 3136.0, 0.2, 2.0, 0.5, 0.15);
  return finished(out);
}

// Trash on the crab's shell: a hollow knock.
MadeSound makeBonk() {
  Signal out;
  addVoice(out, 0, 0.18, {Wave::Sine, 620, 240, 0.8, {0.001, 0.12, 0.03}});
  addVoice(out, 0, 0.1, {Wave::Triangle, 1240, 700, 0.2, {0.001, 0.05, 0.02}});
  Signal knock;
  addNoise(knock, 0, 0.02, 0.4, {0.0005, 0.01, 0.005}, 21);
  lowPass(knock, 3000);
  mixInto(out, knock, 0);
  return finished(out);
}

// A claw shutting: a hard click and a short ring of shell.
MadeSound makeSnap() {
  Signal out = silence(0.09);
  Signal click;
  addNoise(click, 0, 0.025, 0.9, {0.0003, 0.012, 0.005}, 31);
  highPass(click, 1800);
  mixInto(out, click, 0);
  addVoice(out, 0, 0.06, {Wave::Triangle, 2300, 1800, 0.35, {0.0005, 0.03, 0.01}});
  return finished(out);
}

// A baby crab knocked off its feet: a tiny rising squeal.
MadeSound makeSqueak() {
  Signal out;
  addVoice(out, 0, 0.26, {Wave::Triangle, 950, 1700, 0.7, {0.01, 0.5, 0.05}, 0.6, 18});
  addVoice(out, 0.2, 0.12, {Wave::Triangle, 1700, 1300, 0.5, {0.005, 0.2, 0.04}});
  return finished(out);
}

// A dull thud: trash that is neither metal nor a star landing on sand or a baby.
MadeSound makeBoot() {
  Signal out;
  addVoice(out, 0, 0.24, {Wave::Sine, 130, 55, 0.9, {0.002, 0.16, 0.04}});
  Signal thump;
  addNoise(thump, 0, 0.08, 0.7, {0.001, 0.05, 0.02}, 41);
  lowPass(thump, 600);
  mixInto(out, thump, 0);
  return finished(out);
}

// The beach ball hit: a rubbery boing that wobbles as it dies away.
MadeSound makeBeachball() {
  Signal out;
  addVoice(out, 0, 0.55, {Wave::Sine, 160, 260, 0.8, {0.003, 0.45, 0.06}, 1.2, 11});
  addVoice(out, 0, 0.4, {Wave::Triangle, 320, 520, 0.2, {0.003, 0.3, 0.05}, 1.2, 11});
  return finished(out);
}

// A sparkle of four rising pings.
MadeSound makeStar() {
  Signal out = silence(0.75);
  const double notes[] = {84, 88, 91, 96};  // C6 E6 G6 C7
  for (int i = 0; i < 4; ++i)
    addBell(out, 0.07 * i, 0.45, midiFrequency(notes[i]), 0.4, 2.0, 0.8, 0.3);
  return finished(out);
}

// A tin can: inharmonic partials of a thin metal shell, and the clack of the hit.
MadeSound makeCan() {
  Signal out;
  const double partials[][2] = {{1.0, 0.5}, {2.76, 0.35}, {5.4, 0.25}, {8.93, 0.15}};
  for (const auto& [ratio, level] : partials) {
    addVoice(out, 0, 0.4,
             {Wave::Sine, 520 * ratio, 515 * ratio, level, {0.0005, 0.3 / ratio + 0.05, 0.03}});
  }
  Signal clack;
  addNoise(clack, 0, 0.03, 0.6, {0.0005, 0.015, 0.005}, 51);
  highPass(clack, 1500);
  mixInto(out, clack, 0);
  return finished(out);
}

MadeSound makeCork1() {
  return cork(520, 61);
}
MadeSound makeCork2() {
  return cork(700, 62);
}
MadeSound makeCork3() {
  return cork(930, 63);
}

// Small feet on sand, as a seamless loop of one second: every tap ends before the loop does.
MadeSound makeTiptoe() {
  Signal out = silence(1.0);
  for (int i = 0; i < 8; ++i) {
    Signal tap;
    addNoise(tap, 0, 0.045, 0.8, {0.001, 0.03, 0.01}, 71 + i);
    bandPass(tap, i % 2 ? 2600 : 1900, 3);
    addVoice(tap, 0, 0.04, {Wave::Sine, i % 2 ? 900.0 : 760.0, 500, 0.25, {0.001, 0.025, 0.01}});
    mixInto(out, tap, 0.02 + 0.125 * i, i % 2 ? 0.8 : 1.0);
  }
  out.resize(samplesFor(1.0));
  return finished(out);
}

// A round is announced: a rising arpeggio on the bars.
MadeSound makeXylophone() {
  Signal out = silence(1.0);
  const double notes[] = {72, 76, 79, 84};  // C5 E5 G5 C6
  for (int i = 0; i < 4; ++i) addBar(out, 0.09 * i, midiFrequency(notes[i]), 0.5);
  out.resize(samplesFor(1.0));
  return finished(out);
}

MadeSound makeGrumble2() {
  return grumble({{0, 0.22, 50, 47, 450, 1000}, {0.24, 0.3, 48, 43, 400, 800}}, 81);
}
MadeSound makeGrumble3() {
  return grumble({{0, 0.16, 52, 50, 600, 1100},
                  {0.18, 0.16, 50, 49, 500, 900},
                  {0.37, 0.28, 49, 44, 420, 800}},
                 84);
}
MadeSound makeGrumble4() {
  return grumble({{0, 0.4, 45, 51, 350, 700}, {0.42, 0.22, 50, 46, 500, 1000}}, 88);
}

// Menu clicks: forward goes up, back goes down.
MadeSound makeButton() {
  Signal out;
  addVoice(out, 0, 0.09, {Wave::Triangle, 900, 1400, 0.7, {0.001, 0.06, 0.02}});
  addNoise(out, 0, 0.01, 0.3, {0.0005, 0.005, 0.003}, 91);
  return finished(out);
}

MadeSound makeButton2() {
  Signal out;
  addVoice(out, 0, 0.1, {Wave::Triangle, 900, 560, 0.7, {0.001, 0.07, 0.02}});
  addNoise(out, 0, 0.01, 0.3, {0.0005, 0.005, 0.003}, 92);
  return finished(out);
}

// Single bars for the pause and resume taps.
MadeSound makeXylo1a() {
  Signal out;
  addBar(out, 0, midiFrequency(79), 0.6);  // G5
  return finished(out);
}
MadeSound makeXylo1b() {
  Signal out;
  addBar(out, 0, midiFrequency(84), 0.6);  // C6
  return finished(out);
}
MadeSound makeXylo2() {
  Signal out;
  addBar(out, 0, midiFrequency(88), 0.6);  // E6
  return finished(out);
}

// Round clear: a bright little tune with a third above it.
MadeSound makeEndlevel() {
  Signal out = silence(1.5);
  const struct {
    double at, note;
  } tune[] = {{0, 72}, {0.12, 76}, {0.24, 79}, {0.36, 84}, {0.6, 83}, {0.72, 84}};
  for (const auto& n : tune) {
    addBar(out, n.at, midiFrequency(n.note), 0.45);
    addBar(out, n.at, midiFrequency(n.note + 4), 0.2);
  }
  out.resize(samplesFor(1.5));
  return finished(out);
}

// Game over: a slow falling phrase ending low.
MadeSound makeEnd() {
  Signal out = silence(2.1);
  const struct {
    double at, note, length;
  } phrase[] = {{0, 67, 0.35}, {0.35, 64, 0.35}, {0.7, 60, 0.35}, {1.05, 55, 1.0}};
  for (const auto& n : phrase) {
    addVoice(out, n.at, n.length,
             {Wave::Triangle,
              midiFrequency(n.note),
              midiFrequency(n.note),
              0.5,
              {0.01, n.length * 1.4, 0.08},
              n.length > 0.5 ? 0.25 : 0.0,
              5});
    addBell(out, n.at, n.length, midiFrequency(n.note + 12), 0.15, 1.0, 0.6, n.length);
  }
  out.resize(samplesFor(2.1));
  return finished(out);
}
