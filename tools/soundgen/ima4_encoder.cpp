// The encoder runs the decoder's own arithmetic on every code it picks, so both sides keep the
// same predictor; each block restarts from a header the decoder reads back exactly.
#include "tools/soundgen/ima4_encoder.h"

#include <algorithm>
#include <cstdlib>

#include "sound/ima4.h"

namespace {

struct ChannelState {
  int predictor = 0;
  int index = 0;
};

// The one code whose decoded step lands nearest the sample, and the decoder's update with it.
int encodeSample(ChannelState& state, int sample) {
  const int step = ima_step_table[state.index];
  int difference = sample - state.predictor;
  int code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  int decoded = step >> 3;
  if (difference >= step) {
    code |= 4;
    difference -= step;
    decoded += step;
  }
  if (difference >= step >> 1) {
    code |= 2;
    difference -= step >> 1;
    decoded += step >> 1;
  }
  if (difference >= step >> 2) {
    code |= 1;
    decoded += step >> 2;
  }
  state.predictor =
      std::clamp(code & 8 ? state.predictor - decoded : state.predictor + decoded, -32768, 32767);
  state.index = std::clamp(state.index + ima_index_table[code], 0, 88);
  return code;
}

void encodeBlock(ChannelState& state, const int16_t* samples, unsigned stride, uint8_t* block) {
  // The header keeps only the predictor's top nine bits: start the block from what it says.
  state.predictor = static_cast<int16_t>(state.predictor & 0xFF80);
  const unsigned header =
      (static_cast<unsigned>(state.predictor) & 0xFF80) | static_cast<unsigned>(state.index);
  block[0] = static_cast<uint8_t>(header >> 8);
  block[1] = static_cast<uint8_t>(header & 0xFF);
  for (unsigned i = 0; i < kIma4FramesPerPacket; i += 2) {
    const int low = encodeSample(state, samples[i * stride]);
    const int high = encodeSample(state, samples[(i + 1) * stride]);
    block[2 + i / 2] = static_cast<uint8_t>(low | (high << 4));
  }
}

}  // namespace

std::vector<uint8_t> ima4Encode(const std::vector<int16_t>& samples, unsigned channels) {
  const size_t frames = samples.size() / channels;
  const size_t packets = (frames + kIma4FramesPerPacket - 1) / kIma4FramesPerPacket;
  std::vector<int16_t> padded(samples);
  padded.resize(packets * kIma4FramesPerPacket * channels, 0);

  std::vector<uint8_t> out(packets * kIma4BlockBytes * channels);
  std::vector<ChannelState> states(channels);
  for (size_t p = 0; p < packets; ++p) {
    const int16_t* frame = padded.data() + p * kIma4FramesPerPacket * channels;
    for (unsigned c = 0; c < channels; ++c) {
      encodeBlock(states[c], frame + c, channels, &out[(p * channels + c) * kIma4BlockBytes]);
    }
  }
  return out;
}
