// CAF files chunk by chunk: the file header, "desc", then "data" with its edit count. Numbers
// in the chunks are big-endian; the PCM samples themselves little-endian, as the desc says.
#include "tools/soundgen/caf_writer.h"

#include <cstring>
#include <fstream>

#include "tools/soundgen/ima4_encoder.h"

namespace {

constexpr uint32_t kLinearPcmLittleEndian = 2;  // the file's own flag for little-endian PCM

void putBig(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

}  // namespace

bool writeCaf(const std::filesystem::path& path, CafFormat format, unsigned channels,
              double sampleRate, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> payload;
  if (format == CafFormat::Ima4) {
    payload = ima4Encode(samples, channels);
  } else {
    for (int16_t sample : samples) {
      payload.push_back(static_cast<uint8_t>(sample & 0xFF));
      payload.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    }
  }

  std::vector<uint8_t> out;
  putTag(out, "caff");
  putBig(out, 1, 2);  // version
  putBig(out, 0, 2);  // flags

  putTag(out, "desc");
  putBig(out, 32, 8);
  uint64_t rateBits;
  std::memcpy(&rateBits, &sampleRate, sizeof rateBits);
  putBig(out, rateBits, 8);
  const bool ima4 = format == CafFormat::Ima4;
  putTag(out, ima4 ? "ima4" : "lpcm");
  putBig(out, ima4 ? 0 : kLinearPcmLittleEndian, 4);
  putBig(out, ima4 ? kIma4BlockBytes * channels : 2 * channels, 4);  // bytes per packet
  putBig(out, ima4 ? kIma4FramesPerPacket : 1, 4);                   // frames per packet
  putBig(out, channels, 4);
  putBig(out, ima4 ? 0 : 16, 4);  // bits per channel

  putTag(out, "data");
  putBig(out, payload.size() + 4, 8);
  putBig(out, 0, 4);  // edit count
  out.insert(out.end(), payload.begin(), payload.end());

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}
