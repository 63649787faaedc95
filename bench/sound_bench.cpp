// Sound figures: IMA4 decoding speed in samples per second (on the file named by
// TIDEWICK_BENCH_CAF, else on made-up blocks), and the time to load the game's 26 effects of a
// few seconds each, on OpenAL Soft's null device.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_sounds.h"
#include "platform/audio/audio_file.h"
#include "sound/ima4.h"
#include "sound/sound_engine.h"

namespace {

namespace fs = std::filesystem;

struct Ima4Stream {
  platform::AudioStreamBasicDescription format;
  unsigned packets = 0;
  std::vector<uint8_t> bytes;
};

Ima4Stream benchStream() {
  Ima4Stream stream;
  if (const char* path = std::getenv("TIDEWICK_BENCH_CAF")) {
    std::unique_ptr<platform::AudioFile> file;
    if (platform::AudioFile::open(path, file) == 0) {
      stream.format = file->dataFormat();
      stream.packets = static_cast<unsigned>(file->audioDataPacketCount());
      stream.bytes.resize(file->audioDataByteCount());
      uint32_t size = static_cast<uint32_t>(stream.bytes.size());
      file->readBytes(0, size, stream.bytes.data());
      return stream;
    }
  }
  stream.format.mChannelsPerFrame = 1;
  stream.packets = 22050 * 60 / 64;  // a minute at 22050 Hz
  stream.bytes.resize(stream.packets * 34);
  std::mt19937 rng(5);
  for (auto& byte : stream.bytes) byte = static_cast<uint8_t>(rng());
  return stream;
}

void BM_Ima4Decode(benchmark::State& state) {
  static const Ima4Stream stream = benchStream();
  const unsigned channels = stream.format.mChannelsPerFrame;
  std::vector<int16_t> pcm(static_cast<size_t>(stream.packets) * 64 * channels);
  for (auto _ : state) {
    ima_decompress(stream.packets, stream.format, stream.bytes.data(), pcm.data());
    benchmark::DoNotOptimize(pcm.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pcm.size()));
  state.SetLabel("samples/s as items/s");
}
BENCHMARK(BM_Ima4Decode)->Unit(benchmark::kMillisecond);

void BM_Load26Effects(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "tidewick-bench-sounds";
  fs::create_directories(folder);
  std::vector<std::string> paths;
  for (int i = 0; i < 26; ++i) {
    paths.push_back((folder / ("effect" + std::to_string(i) + ".caf")).string());
    // Three long stereo music loops, the rest short effects, as in the game.
    writeSound(paths.back(), i % 2 == 0, i < 3 ? 2 : 1, i < 3 ? 20.0 : 2.0);
  }
  for (auto _ : state) {
    SoundEngine_Initialize(44100);
    uint32_t id = 0;
    for (int i = 0; i < 26; ++i) {
      const OSStatus status =
          i < 3 ? SoundEngine_LoadLoopingEffect(paths[i].c_str(), nullptr, nullptr, &id)
                : SoundEngine_LoadEffect(paths[i].c_str(), &id);
      if (status != 0) state.SkipWithError("a load failed");
    }
    state.PauseTiming();
    SoundEngine_Teardown();
    state.ResumeTiming();
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_Load26Effects)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
