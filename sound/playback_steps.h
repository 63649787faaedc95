// The page has one thread: a looping effect's playback runs as steps on the browser's loop, where
// the desktop gives it a short-lived thread.
#pragma once

class SoundEngineEffect;

// Plays the effect's queued source, then looks at its attack about every millisecond until
// looping is on; the effect's count of running playbacks drops when the steps end.
void startPlaybackSteps(SoundEngineEffect& effect);
// Ends the effect's steps, if any are still to come: nothing of them runs afterwards.
void cancelPlaybackSteps(SoundEngineEffect& effect);
