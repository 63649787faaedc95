// The game's 26 sounds, each made from its own recipe: one-shot effects, the looping patter of
// small feet, and the two music loops.
#pragma once

#include "tools/soundgen/synth.h"

struct MadeSound {
  Signal left, right;  // right is empty for a mono sound
};

// Recipes of effects (sound_effects.cpp) and of music (music.cpp).
MadeSound makeChaching();
MadeSound makeBell();
MadeSound makeBonk();
MadeSound makeSnap();
MadeSound makeSqueak();
MadeSound makeBoot();
MadeSound makeBeachball();
MadeSound makeStar();
MadeSound makeCan();
MadeSound makeCork1();
MadeSound makeCork2();
MadeSound makeCork3();
MadeSound makeTiptoe();
MadeSound makeXylophone();
MadeSound makeGrumble2();
MadeSound makeGrumble3();
MadeSound makeGrumble4();
MadeSound makeButton();
MadeSound makeButton2();
MadeSound makeXylo1a();
MadeSound makeXylo1b();
MadeSound makeXylo2();
MadeSound makeEndlevel();
MadeSound makeEnd();
MadeSound makeGameMusic();
MadeSound makeMenuMusic();
