// soundgen OUTDIR: writes the game's 26 sounds as Core Audio Format files into OUTDIR, the same
// bytes on every run.
#include <cstdio>
#include <filesystem>

#include "tools/soundgen/sounds.h"

const std::vector<SoundRecipe>& soundRecipes() {
  // Mono effects at 22050 Hz; the two music loops in stereo. IMA4 for most; the sharpest
  // transients stay 16-bit PCM.
  static const std::vector<SoundRecipe> recipes = {
      {"game", CafFormat::Ima4, makeGameMusic},
      {"chaching", CafFormat::Ima4, makeChaching},
      {"bell", CafFormat::Pcm16, makeBell},
      {"bonk", CafFormat::Ima4, makeBonk},
      {"snap", CafFormat::Pcm16, makeSnap},
      {"squeak", CafFormat::Ima4, makeSqueak},
      {"boot", CafFormat::Ima4, makeBoot},
      {"beachball", CafFormat::Ima4, makeBeachball},
      {"star", CafFormat::Ima4, makeStar},
      {"can", CafFormat::Ima4, makeCan},
      {"cork1", CafFormat::Ima4, makeCork1},
      {"cork2", CafFormat::Ima4, makeCork2},
      {"cork3", CafFormat::Ima4, makeCork3},
      {"tiptoe", CafFormat::Pcm16, makeTiptoe},
      {"xylophone", CafFormat::Ima4, makeXylophone},
      {"nerinGrumble2", CafFormat::Ima4, makeGrumble2},
      {"nerinGrumble3", CafFormat::Ima4, makeGrumble3},
      {"nerinGrumble4", CafFormat::Ima4, makeGrumble4},
      {"menu", CafFormat::Ima4, makeMenuMusic},
      {"button", CafFormat::Pcm16, makeButton},
      {"button2", CafFormat::Pcm16, makeButton2},
      {"xylo1a", CafFormat::Ima4, makeXylo1a},
      {"xylo1b", CafFormat::Ima4, makeXylo1b},
      {"xylo2", CafFormat::Ima4, makeXylo2},
      {"endlevel", CafFormat::Ima4, makeEndlevel},
      {"end", CafFormat::Ima4, makeEnd},
  };
  return recipes;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: soundgen OUTDIR\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (const SoundRecipe& recipe : soundRecipes()) {
    const MadeSound sound = recipe.make();
    const bool stereo = !sound.right.empty();
    const std::filesystem::path path = folder / (recipe.name + ".caf");
    if (!writeCaf(path, recipe.format, stereo ? 2 : 1, kSampleRate,
                  stereo ? toPcm(sound.left, sound.right) : toPcm(sound.left))) {
      std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
