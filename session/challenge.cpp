// The best game's file, the challenge's address and its words.
#include "session/challenge.h"

#include <climits>
#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/core/json_reading.h"
#include "platform/core/stored_file.h"
#include "session/command_line.h"
#include "session/replay.h"

std::filesystem::path bestGamePath() {
  return platform::stateFolder() / "best-game.json";
}

std::optional<Challenge> readBestGame(const std::filesystem::path& path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::string error;
  const nlohmann::json kept = platform::readJson(file, error);
  const auto whole = [&kept](const char* key, uint64_t most) {
    return kept.is_object() && kept.contains(key) && kept[key].is_number_unsigned() &&
           kept[key].get<uint64_t>() <= most;
  };
  if (!whole("seed", UINT32_MAX) || !whole("draws", kMostDrawsSkipped) ||
      !whole("score", INT_MAX)) {
    platform::moveAside(path, error.empty() ? "does not hold a seed, draws and a score" : error,
                        "the best game's sea is forgotten");
    return std::nullopt;
  }
  return Challenge{Sea{kept["seed"].get<uint32_t>(), kept["draws"].get<uint64_t>()},
                   kept["score"].get<int>()};
}

bool keepBestGame(const std::filesystem::path& path, const Challenge& best) {
  const nlohmann::json kept = {
      {"seed", best.sea->seed}, {"draws", best.sea->draws}, {"score", best.score}};
  return platform::writeWhole(path, kept.dump() + "\n", "the best game's sea");
}

std::string challengeQuery(const Challenge& challenge) {
  std::string query = "beat=" + std::to_string(challenge.score);
  if (challenge.sea) {
    query += "." + std::to_string(challenge.sea->seed) + "." + std::to_string(challenge.sea->draws);
  }
  return query;
}

std::optional<Challenge> readChallenge(const std::string& beat, std::string& error) {
  const size_t scoreEnd = beat.find('.');
  const auto score = parseNumber<int>(beat.substr(0, scoreEnd));
  if (!score || *score < 0) {
    error = "the link's score is damaged";
    return std::nullopt;
  }
  Challenge challenge{std::nullopt, *score};
  if (scoreEnd == std::string::npos) return challenge;
  const std::string sea = beat.substr(scoreEnd + 1);
  const size_t seedEnd = sea.find('.');
  const auto seed = parseNumber<uint32_t>(sea.substr(0, seedEnd));
  const auto draws =
      seedEnd == std::string::npos ? std::nullopt : parseNumber<uint64_t>(sea.substr(seedEnd + 1));
  if (!seed || !draws || *draws > kMostDrawsSkipped) {
    error = "the link's sea is damaged";
    return std::nullopt;
  }
  challenge.sea = Sea{*seed, *draws};
  return challenge;
}

std::string challengeInvitation(const Challenge& challenge) {
  return "a friend scored " + std::to_string(challenge.score) +
         (challenge.sea ? " on this sea" : "") + ": play to beat it";
}

std::string challengeOutcome(const Challenge& challenge, int score) {
  const std::string theirs = "your friend's " + std::to_string(challenge.score);
  if (score > challenge.score) {
    return "you beat " + theirs + " by " + std::to_string(score - challenge.score) + "!";
  }
  if (score == challenge.score) return "you matched " + theirs;
  return theirs + " still stands: " + std::to_string(challenge.score - score) + " to go";
}
