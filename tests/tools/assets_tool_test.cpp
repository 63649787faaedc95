// The asset inspector, run as a program: what it prints for an image, the bytes it writes, and
// its refusals.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"
#include "tests/support/test_caf.h"
#include "tests/support/test_png.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun inspect(const std::string& arguments) {
  const fs::path output = scratchPath("assets-test.out");
  // The tool's exit unloads the GL driver, whose own allocations the leak checker can then no
  // longer name; the code the tool runs is leak-checked in this process by the texture tests.
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 " +
                              std::string(build_paths::kAssetsTool) + " " + arguments + " >" +
                              output.string() + " 2>/dev/null";
  const int status = std::system(command.c_str());
  std::ifstream in(output);
  ToolRun run{WEXITSTATUS(status), std::string(std::istreambuf_iterator<char>(in), {})};
  fs::remove(output);
  return run;
}

class AssetsToolTest : public testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  const fs::path dir_ = scratchPath("assets-tool-test");
};

}  // namespace

TEST_F(AssetsToolTest, DescribesTheTextureAndWritesItsPixels) {
  TestPng png{PNG_COLOR_TYPE_RGB, 8, false, 3, 2};
  png.samples = {255, 128, 0, 255, 128, 0, 255, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  writeFile(dir_ / "opaque.png", encodePng(png));
  const ToolRun run = inspect("texture " + (dir_ / "opaque.png").string() + " --pixels " +
                              (dir_ / "opaque.raw").string());
  ASSERT_EQ(run.status, 0);
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["contentSize"], (nlohmann::json{3.0, 2.0}));
  EXPECT_EQ(json["pixelsWide"], 4);
  EXPECT_EQ(json["pixelsHigh"], 2);
  EXPECT_EQ(json["pixelFormat"], 2);
  EXPECT_FLOAT_EQ(json["maxS"].get<float>(), 0.75f);
  EXPECT_FLOAT_EQ(json["maxT"].get<float>(), 1.0f);
  EXPECT_EQ(run.out.find("{\"contentSize\""), 0u);  // the fields in their documented order

  std::ifstream raw(dir_ / "opaque.raw", std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(raw)), {});
  ASSERT_EQ(bytes.size(), 4u * 2 * 2);
  uint16_t first;
  std::memcpy(&first, bytes.data(), 2);
  EXPECT_EQ(first, 0xFC00);
}

TEST_F(AssetsToolTest, RefusesWhatIsNotAnImageAndWritesNothing) {
  std::ofstream(dir_ / "text.png") << "not an image";
  const fs::path raw = dir_ / "out.raw";
  EXPECT_EQ(inspect("texture " + (dir_ / "text.png").string() + " --pixels " + raw.string()).status,
            1);
  EXPECT_FALSE(fs::exists(raw));
  EXPECT_EQ(inspect("texture " + (dir_ / "missing.png").string()).status, 1);
  EXPECT_EQ(inspect("texture").status, 2);
  EXPECT_EQ(inspect("bogus x.png").status, 2);
  EXPECT_EQ(inspect("texture " + dir_.string()).status, 1);  // a folder: refused, not thrown
}

TEST_F(AssetsToolTest, DescribesAndDecodesSounds) {
  const std::string stereo = std::string(build_paths::kTestData) + "/sine-stereo.caf";
  const ToolRun described = inspect("sound " + stereo);
  ASSERT_EQ(described.status, 0);
  const auto json = nlohmann::json::parse(described.out);
  EXPECT_EQ(json["status"], 0);
  EXPECT_EQ(json["formatID"], "ima4");
  EXPECT_EQ(json["channels"], 2);
  EXPECT_EQ(json["bigEndian"], false);
  EXPECT_EQ(json["dataBytes"], json["packets"].get<int>() * 68);
  EXPECT_EQ(json["pcmBytes"], json["packets"].get<int>() * 256);
  EXPECT_EQ(json["alFormat"], 0x1103);

  const fs::path raw = dir_ / "stereo.raw";
  ASSERT_EQ(inspect("decode " + stereo + " " + raw.string()).status, 0);
  EXPECT_EQ(fs::file_size(raw), json["pcmBytes"].get<uintmax_t>());

  std::ofstream(dir_ / "noise.caf") << "RIFF....WAVEfmt ";
  const ToolRun refused = inspect("sound " + (dir_ / "noise.caf").string());
  EXPECT_EQ(refused.status, 1);
  const auto unread = nlohmann::json::parse(refused.out);
  EXPECT_EQ(unread["statusText"], "'typ?'");
  EXPECT_FALSE(unread.contains("formatID"));  // nothing unread is shown as a value
  EXPECT_FALSE(unread.contains("pcmBytes"));

  // More packets counted than the IMA4 data holds: a damaged file, not an unknown format.
  TestCaf ima{.formatID = "ima4",
              .flags = 0,
              .bytesPerPacket = 34,
              .framesPerPacket = 64,
              .bits = 0,
              .data = std::vector<uint8_t>(3 * 34),
              .packets = 4};
  writeFile(dir_ / "short.caf", encodeCaf(ima));
  const ToolRun damaged = inspect("sound " + (dir_ / "short.caf").string());
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(nlohmann::json::parse(damaged.out)["statusText"], "'dta?'");
  const fs::path none = dir_ / "none.raw";
  EXPECT_EQ(inspect("decode " + (dir_ / "noise.caf").string() + " " + none.string()).status, 1);
  EXPECT_FALSE(fs::exists(none));
}
