// Options and their errors.
#include <gtest/gtest.h>

#include "session/command_line.h"

TEST(CommandLineTest, ReadsEveryOption) {
  const ParsedCommandLine parsed = parseCommandLine(
      {"--scale", "3", "--fullscreen", "--headless", "--seed", "4294967295", "--defaults", "x.json",
       "--frames", "classic", "--record", "r.json", "--dump", "d.jsonl"});
  ASSERT_TRUE(parsed.line) << parsed.error;
  EXPECT_EQ(parsed.line->scale, 3);
  EXPECT_TRUE(parsed.line->fullscreen);
  EXPECT_TRUE(parsed.line->headless);
  EXPECT_EQ(parsed.line->seed, 4294967295u);
  EXPECT_EQ(parsed.line->defaults, "x.json");
  EXPECT_EQ(parsed.line->record, "r.json");
  EXPECT_EQ(parsed.line->dump, "d.jsonl");
  EXPECT_TRUE(parsed.line->classicFrames);
  EXPECT_TRUE(parsed.line->command.empty());
  EXPECT_FALSE(parseCommandLine({"--frames", "smooth"}).line->classicFrames);
  EXPECT_FALSE(parseCommandLine({}).line->classicFrames);
}

TEST(CommandLineTest, RejectsUnknownAndMalformedOptions) {
  for (auto arguments : std::vector<std::vector<std::string>>{{"--bogus"},
                                                              {"--scale"},
                                                              {"--scale", "0"},
                                                              {"--scale", "2x"},
                                                              {"--seed", "-1"},
                                                              {"--seed", "4294967296"},
                                                              {"--defaults"},
                                                              {"--record"},
                                                              {"--dump", ""},
                                                              {"--frames"},
                                                              {"--frames", "fast"}}) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    EXPECT_FALSE(parsed.line) << arguments[0];
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(CommandLineTest, FirstWordStartsACommandThatKeepsItsOwnArguments) {
  const ParsedCommandLine parsed = parseCommandLine({"--headless", "replay", "--speed", "2"});
  ASSERT_TRUE(parsed.line);
  EXPECT_TRUE(parsed.line->headless);
  EXPECT_EQ(parsed.line->command, (std::vector<std::string>{"replay", "--speed", "2"}));
}
