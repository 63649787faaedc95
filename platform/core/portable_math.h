// Sines and cosines that give the same bits on every machine, compiler and C library. The game's
// rules use them, so that a game recorded on one machine replays exactly on any other: the C
// library's functions differ from system to system in the last bit. Written from + - * / alone,
// which IEEE arithmetic makes exact everywhere (the build keeps the compiler from fusing them),
// and within an ulp of the true value for |x| up to a million; beyond that, still the same bits
// everywhere, if less close.
#pragma once

namespace platform::portable {

double sin(double x);
double cos(double x);
// Computed in double and rounded once: within an ulp of the true value, as a float.
float sin(float x);
float cos(float x);

}  // namespace platform::portable
