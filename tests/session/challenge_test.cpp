// A challenge goes into the page's address and comes back as it was; a damaged one is refused in
// words; the best game's file comes back, or is moved aside when damaged.
#include "session/challenge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

TEST(ChallengeTest, AChallengeComesBackFromItsAddressAndADamagedOneIsRefused) {
  for (const Challenge& sent : {Challenge{Sea{4294967295u, 67108864}, 2147483647},
                                Challenge{Sea{1, 0}, 0}, Challenge{std::nullopt, 1234}}) {
    const std::string query = challengeQuery(sent);
    ASSERT_TRUE(query.starts_with("beat=")) << query;
    EXPECT_EQ(query.find('&'), std::string::npos) << "a mail's body keeps '&' as it stands";
    std::string error;
    const std::optional<Challenge> read = readChallenge(query.substr(5), error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->score, sent.score);
    ASSERT_EQ(read->sea.has_value(), sent.sea.has_value());
    if (sent.sea) {
      EXPECT_EQ(std::pair(read->sea->seed, read->sea->draws),
                std::pair(sent.sea->seed, sent.sea->draws));
    }
  }
  for (const auto& [beat, why] : {std::pair{"", "score"},
                                  {"-1", "score"},
                                  {"2147483648", "score"},
                                  {"12x", "score"},
                                  {"10.", "sea"},
                                  {"10.5", "sea"},
                                  {"10.5.", "sea"},
                                  {"10.4294967296.0", "sea"},
                                  {"10.5.67108865", "sea"},
                                  {"10.5.6.7", "sea"},
                                  {"10. 5.6", "sea"}}) {
    std::string error;
    EXPECT_FALSE(readChallenge(beat, error)) << beat;
    EXPECT_EQ(error, std::string("the link's ") + why + " is damaged") << beat;
  }
  EXPECT_EQ(challengeInvitation({Sea{}, 40}), "a friend scored 40 on this sea: play to beat it");
  EXPECT_EQ(challengeOutcome({Sea{}, 40}, 55), "you beat your friend's 40 by 15!");
  EXPECT_EQ(challengeOutcome({Sea{}, 40}, 40), "you matched your friend's 40");
  EXPECT_EQ(challengeOutcome({Sea{}, 40}, 10), "your friend's 40 still stands: 30 to go");
}

TEST(ChallengeTest, TheBestGameIsKeptAndADamagedFileIsMovedAside) {
  const fs::path folder = scratchPath("challenge-test");
  fs::remove_all(folder);
  const fs::path file = folder / "best-game.json";
  EXPECT_FALSE(readBestGame(file));
  ASSERT_TRUE(keepBestGame(file, {Sea{77, 12345678}, 9000}));
  const std::optional<Challenge> kept = readBestGame(file);
  ASSERT_TRUE(kept && kept->sea);
  EXPECT_EQ(kept->sea->seed, 77u);
  EXPECT_EQ(kept->sea->draws, 12345678u);
  EXPECT_EQ(kept->score, 9000);

  for (const char* damaged : {"{\"seed\": 77, \"score\": 9000}",
                              "{\"seed\": -1, \"draws\": 0, "
                              "\"score\": 1}",
                              "not JSON"}) {
    std::ofstream(file) << damaged;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readBestGame(file)) << damaged;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the best game's sea is forgotten"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(file)) << "moved aside";
  }
  fs::remove_all(folder);
}

}  // namespace
