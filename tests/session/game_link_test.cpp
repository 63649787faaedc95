// A game's link: a recording goes into an address's fragment and comes back whole, whatever a
// mail program does to the link's lines; a link that was cut, altered or made to unpack without
// end is refused in words.
#include "session/game_link.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/stored_file.h"
#include "tests/support/build_paths.h"

namespace {

constexpr const char* kPage = "https://tidewick.example/play/index.html#";

std::string keptRecording() {
  return platform::readWhole(std::string(build_paths::kScreenshotScripts) + "/a-game.json")
      .value_or("");
}

std::string refusal(const std::string& link) {
  std::string error;
  EXPECT_FALSE(recordingFromLink(link, error)) << link.substr(0, 80);
  return error;
}

TEST(GameLinkTest, ARecordingComesBackWholeFromItsAddressOrItsFragment) {
  const std::string recording = keptRecording();
  ASSERT_GT(recording.size(), 500u);
  const std::string fragment = gameLinkFragment(recording);
  EXPECT_TRUE(fragment.starts_with("watch="));
  EXPECT_EQ(fragment.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                       "0123456789-_=",
                                       6),
            std::string::npos);

  // A link wrapped by a mail program, with more of the address after it.
  std::string wrapped = kPage + fragment + "&from=mail";
  for (size_t at = 60; at < wrapped.size(); at += 72) wrapped.insert(at, "\r\n ");
  for (const std::string& link : {kPage + fragment, fragment, wrapped}) {
    std::string error;
    EXPECT_EQ(recordingFromLink(link, error), recording) << error;
    EXPECT_TRUE(isGameLink("#" + fragment));
  }
  EXPECT_FALSE(isGameLink("games/watch=1.json"));

  std::string error, warning;
  const auto script = readWatchedScript(kPage + fragment, error, warning);
  ASSERT_TRUE(script) << error;
  EXPECT_EQ(script->seed, 2718u);
}

TEST(GameLinkTest, ALinkThatIsNoWholeGameIsRefusedInWords) {
  const std::string fragment = gameLinkFragment(keptRecording());
  EXPECT_EQ(refusal("https://tidewick.example/play/"), "the link holds no game");
  EXPECT_EQ(refusal(std::string(kPage) + "watch="), "the link holds no game");
  EXPECT_EQ(refusal(std::string(kPage) + "watch=abc!def"),
            "the link is damaged: it is not a game's letters");
  EXPECT_EQ(refusal(kPage + fragment.substr(0, fragment.size() / 2)), "the link is cut short");
  EXPECT_EQ(refusal(kPage + fragment + "AAAA"), "the link is damaged: it goes on after its game");
  // A letter changed inside: what it unpacks to fails the check zlib packed with it.
  std::string altered = fragment;
  char& letter = altered[altered.size() / 2];
  letter = letter == 'A' ? 'B' : 'A';
  EXPECT_EQ(refusal(kPage + altered), "the link is damaged");

  // Packed small, unpacked huge: refused once it passes the most a game may be.
  const std::string zeros(kMostLinkedRecording + 1, '\0');
  const std::string bomb = gameLinkFragment(zeros);
  EXPECT_LT(bomb.size(), kLongestGameLink);
  EXPECT_EQ(refusal(bomb), "the link's game unpacks to more than 16 MB");

  // A whole link to something that is not a game: the script's reader names it.
  std::string error, warning;
  EXPECT_FALSE(readWatchedScript(kPage + gameLinkFragment("{\"seed\": -1}"), error, warning));
  EXPECT_TRUE(error.starts_with("the link's game: ")) << error;
}

}  // namespace
