// The game under way kept in pieces: it comes back whole at the time it was last seen, a line torn
// by a power cut dropped and what comes after it written on its place; a game that crashed the
// start bringing it back, or that cannot be read, is set aside and not offered; an ended one is
// gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "session/game_in_progress.h"
#include "session/replay.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;
using platform::InputEntry;

namespace {

constexpr const char* kOpening = "{\"seed\":5,\"defaults\":{\"score\":120},\"events\":[\n";

class GameInProgressTest : public testing::Test {
 protected:
  void SetUp() override { fs::remove_all(dir_.parent_path()); }
  void TearDown() override { fs::remove_all(dir_.parent_path()); }

  // The recording's event line of a tilt at `t`, as the recorder writes it.
  static std::string tiltLine(double t, bool first = false) {
    return (first ? "" : ",") + scriptEvent(t, InputEntry::of(InputEntry::Kind::Tilt, t / 1000)) +
           "\n";
  }
  size_t countIn(const char* prefix) const {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(dir_.parent_path())) {
      count += entry.path().filename().string().rfind(prefix, 0) == 0;
    }
    return count;
  }

  const fs::path dir_ = scratchPath("game-in-progress-test") / "game-in-progress";
};

TEST_F(GameInProgressTest, AGameKeptInPiecesComesBackWholeAtTheTimeItWasLastSeen) {
  std::string events = tiltLine(0.5, true);
  {
    GameInProgress kept(dir_);
    kept.begin(kOpening + events);
    // Enough lines for several pieces, none of them much past a piece's size.
    for (int i = 1; i <= 3000; ++i) {
      const std::string line = tiltLine(0.5 + i * 0.01);
      events += line;
      kept.add(line);
    }
    kept.seen(40);
  }
  size_t pieces = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    if (entry.path().filename().string().rfind("recording-", 0) != 0) continue;
    ++pieces;
    EXPECT_LT(fs::file_size(entry.path()), GameInProgress::kPieceBytes + 100);
  }
  EXPECT_GT(pieces, 2u);

  GameInProgress again(dir_);
  const std::optional<GameInProgress::Left> left = again.takeLeft();
  ASSERT_TRUE(left);
  EXPECT_EQ(left->script.seed, 5u);
  EXPECT_EQ(left->script.defaults["score"], 120);
  EXPECT_EQ(left->script.events.size(), 3001u);
  EXPECT_EQ(left->script.duration, 40);
  EXPECT_EQ(left->opening, kOpening);
  EXPECT_EQ(left->events, events);
  EXPECT_TRUE(again.keeping());
}

TEST_F(GameInProgressTest, ALineTornByAPowerCutIsDroppedAndTheNextOneTakesItsPlace) {
  {
    GameInProgress kept(dir_);
    kept.begin(kOpening + tiltLine(1, true) + tiltLine(2));
    kept.seen(1.5);  // seen before its last input: it comes back at that input
    kept.add(",{\"t\":3,\"ti");
  }
  GameInProgress again(dir_);
  std::optional<GameInProgress::Left> left = again.takeLeft();
  ASSERT_TRUE(left);
  EXPECT_EQ(left->script.events.size(), 2u);
  EXPECT_EQ(left->script.duration, 2);
  again.add(tiltLine(4));
  again.seen(4);

  left = GameInProgress(dir_).takeLeft();
  ASSERT_TRUE(left);
  ASSERT_EQ(left->script.events.size(), 3u);
  EXPECT_EQ(left->script.events[2].t, 4);
  EXPECT_EQ(left->events, tiltLine(1, true) + tiltLine(2) + tiltLine(4));
}

TEST_F(GameInProgressTest, AGameThatCrashedItsReturnOrCannotBeReadIsSetAsideAndNotOffered) {
  {
    GameInProgress kept(dir_);
    kept.begin(kOpening + tiltLine(1, true));
    kept.markBringingBack(true);
  }
  EXPECT_FALSE(GameInProgress(dir_).takeLeft());
  EXPECT_FALSE(fs::exists(dir_));
  EXPECT_EQ(countIn("game-in-progress.corrupt-"), 1u);

  {
    GameInProgress kept(dir_);
    kept.begin("{\"seed\":\"five\",\"events\":[\n" + tiltLine(1, true));
  }
  EXPECT_FALSE(GameInProgress(dir_).takeLeft());
  EXPECT_FALSE(fs::exists(dir_));
  EXPECT_EQ(countIn("game-in-progress.corrupt-"), 2u);

  // Brought back and marked back again, it is offered at the next start as before.
  {
    GameInProgress kept(dir_);
    kept.begin(kOpening + tiltLine(1, true));
    kept.markBringingBack(true);
    kept.markBringingBack(false);
  }
  EXPECT_TRUE(GameInProgress(dir_).takeLeft());
}

TEST_F(GameInProgressTest, AGameEndedOrNeverBegunIsNotBroughtBack) {
  EXPECT_FALSE(GameInProgress(dir_).takeLeft());
  GameInProgress kept(dir_);
  kept.begin(kOpening + tiltLine(1, true));
  kept.end();
  EXPECT_FALSE(kept.keeping());
  kept.add(tiltLine(2));  // heard after the end: not kept
  kept.seen(3);
  EXPECT_FALSE(fs::exists(dir_));
  EXPECT_FALSE(GameInProgress(dir_).takeLeft());
}

}  // namespace
