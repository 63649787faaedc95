// The player's stored values: the two records and the two volume settings (the earned
// achievements are kept under their own key, app/achievements.h).
#pragma once

inline constexpr const char* kHighScoreKey = "score";
inline constexpr const char* kHighLevelKey = "level";
inline constexpr const char* kMusicKey = "music";
inline constexpr const char* kEffectsKey = "effects";

// The music in force: silence, the menu loop or the game loop.
enum MusicMode : int { kMusicSilent = 0, kMusicMenu = 1, kMusicGame = 2 };

// An effect's level for an effects setting: its share of the setting (the feet's patter a
// tenth, the grumbles twice); a level may pass 1.
float effectLevel(int slot, float setting);
