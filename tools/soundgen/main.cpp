// soundgen OUTDIR: writes the game's 26 sounds as Core Audio Format files into OUTDIR, the same
// bytes on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/asset_catalogue.h"
#include "tools/soundgen/caf_writer.h"
#include "tools/soundgen/sounds.h"

namespace {

struct SoundRecipe {
  int slot;  // of the sound table, which names the file
  CafFormat format;
  MadeSound (*make)();
};

// Mono effects at 22050 Hz; the two music loops in stereo. IMA4 for most; the sharpest
// transients stay 16-bit PCM.
constexpr SoundRecipe kRecipes[] = {
    {kSoundGame, CafFormat::Ima4, makeGameMusic},
    {kSoundChaching, CafFormat::Ima4, makeChaching},
    {kSoundBell, CafFormat::Pcm16, makeBell},
    {kSoundBonk, CafFormat::Ima4, makeBonk},
    {kSoundSnap, CafFormat::Pcm16, makeSnap},
    {kSoundSqueak, CafFormat::Ima4, makeSqueak},
    {kSoundBoot, CafFormat::Ima4, makeBoot},
    {kSoundBeachball, CafFormat::Ima4, makeBeachball},
    {kSoundStar, CafFormat::Ima4, makeStar},
    {kSoundCan, CafFormat::Ima4, makeCan},
    {kSoundCork1, CafFormat::Ima4, makeCork1},
    {kSoundCork2, CafFormat::Ima4, makeCork2},
    {kSoundCork3, CafFormat::Ima4, makeCork3},
    {kSoundTiptoe, CafFormat::Pcm16, makeTiptoe},
    {kSoundXylophone, CafFormat::Ima4, makeXylophone},
    {kSoundNerinGrumble2, CafFormat::Ima4, makeGrumble2},
    {kSoundNerinGrumble3, CafFormat::Ima4, makeGrumble3},
    {kSoundNerinGrumble4, CafFormat::Ima4, makeGrumble4},
    {kSoundMenu, CafFormat::Ima4, makeMenuMusic},
    {kSoundButton, CafFormat::Pcm16, makeButton},
    {kSoundButton2, CafFormat::Pcm16, makeButton2},
    {kSoundXylo1a, CafFormat::Ima4, makeXylo1a},
    {kSoundXylo1b, CafFormat::Ima4, makeXylo1b},
    {kSoundXylo2, CafFormat::Ima4, makeXylo2},
    {kSoundEndlevel, CafFormat::Ima4, makeEndlevel},
    {kSoundEnd, CafFormat::Ima4, makeEnd},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: soundgen OUTDIR\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (const SoundRecipe& recipe : kRecipes) {
    const MadeSound sound = recipe.make();
    const bool stereo = !sound.right.empty();
    const std::filesystem::path path = folder / (std::string(kSoundNames[recipe.slot]) + ".caf");
    if (!writeCaf(path, recipe.format, stereo ? 2 : 1, kSampleRate,
                  stereo ? toPcm(sound.left, sound.right) : toPcm(sound.left))) {
      std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
