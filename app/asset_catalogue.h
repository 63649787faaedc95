// The catalogue of the game's art and sound: the slot numbers of the texture and sound tables,
// and the bundle files behind them. Records keep texture slots as data (a trash piece's kind,
// the shark's frames, the tutorial's pictures), so the numbering is fixed.
#pragma once

enum TextureSlot : int {
  kTextureSeaBackground = 0,  // "Sea.png" again, nearest-filtered: the opaque background
  kTextureNerin = 1,
  kTextureNerinBlink1 = 2,
  kTextureNerinBlink2 = 3,
  kTextureNerinLegs1 = 4,
  kTextureNerinLegs2 = 5,
  kTextureClawLower = 6,
  kTextureClawClosed = 7,  // "ClawUpper1.png"
  kTextureClawOpen = 8,    // "ClawUpper2.png"
  kTextureNerinMouth = 9,
  kTextureBabyCrab = 10,
  kTextureSand = 11,
  kTextureSea = 12,
  // The trash pictures do not lie in the order of their file numbers.
  kTextureTrash03 = 13,  // tire
  kTextureTrash05 = 14,
  kTextureTrash02 = 15,
  kTextureTrash07 = 16,
  kTextureTrash06 = 17,
  kTextureTrash04 = 18,
  kTextureTrash01 = 19,  // wok
  kTextureBeachBall = 20,
  kTextureShark1 = 21,
  kTextureShark2 = 22,
  kTextureShark3 = 23,
  kTextureStar = 24,
  kTextureCrabTrap = 25,
  kTextureBubbles1 = 26,
  kTextureBubbles2 = 27,
  kTextureBubbles3 = 28,
  kTextureWaves = 29,
  kTextureTutorialNerin = 30,
  kTextureTutorialDevice = 31,
  kTextureTutorialDeviceSwipes = 32,
  kTextureTutorialDeviceTiltRight = 33,
  kTextureTutorialDeviceTiltLeft = 34,
  kTextureTutorialSwipe = 35,
  kTextureTutorialSwipeLeft = 36,
  kTextureTutorialSwipeUp = 37,
  kTextureCount = 38,
};

enum SoundSlot : int {
  kSoundGame = 0,  // music loop
  kSoundChaching = 1,
  kSoundBell = 2,
  kSoundBonk = 3,
  kSoundSnap = 4,
  kSoundSqueak = 5,
  kSoundBoot = 6,
  kSoundBeachball = 7,
  kSoundStar = 8,
  kSoundCan = 9,
  kSoundCork1 = 10,
  kSoundCork2 = 11,
  kSoundCork3 = 12,
  kSoundTiptoe = 13,  // looping effect
  kSoundXylophone = 14,
  kSoundNerinGrumble2 = 15,  // the three grumbles lie side by side: one is picked by offset
  kSoundNerinGrumble3 = 16,
  kSoundNerinGrumble4 = 17,
  kSoundMenu = 18,  // music loop
  kSoundButton = 19,
  kSoundButton2 = 20,
  kSoundXylo1a = 21,
  kSoundXylo1b = 22,
  kSoundXylo2 = 23,
  kSoundEndlevel = 24,
  kSoundEnd = 25,
  kSoundCount = 26,
};

// The image file of each texture slot, and the resource name of each sound slot (type "caf").
extern const char* const kTextureFiles[kTextureCount];
extern const char* const kSoundNames[kSoundCount];
