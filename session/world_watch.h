// What must hold of the world after every frame, whoever plays and for however long: counts
// within their arrays, no NaN or infinity anywhere, every piece within the bounds its state
// allows, a score that never falls within a game, stored records never below what the games
// reached. The soak runs it after every frame.
#pragma once

#include <string>
#include <vector>

class SaltmereAppDelegate;

class WorldWatch {
 public:
  explicit WorldWatch(const SaltmereAppDelegate& game) : game_(game) {}

  // Looks at the world as the frame left it: the first broken rule as "field: value", or
  // nothing when every rule holds.
  std::string check();

  long checks() const { return checks_; }
  int gamesStarted() const { return games_; }
  int roundsReached() const { return rounds_; }
  // The round each finished game ended in, in order.
  const std::vector<int>& endingRounds() const { return endingRounds_; }

 private:
  // Counts the check; false records `field` = `value` as the fault.
  bool require(bool holds, const std::string& field, double value);
  bool finite(const std::string& field, double value);
  bool within(const std::string& field, double value, double low, double high);
  void checkNumbers();
  void checkPieces();
  void checkProgress();

  const SaltmereAppDelegate& game_;
  std::string fault_;
  long checks_ = 0;
  int games_ = 0, rounds_ = 0;
  bool playing_ = false;
  int lastRound_ = 0;
  unsigned lastScore_ = 0, bestScore_ = 0;
  int bestRound_ = 0;
  std::vector<int> endingRounds_;
};
