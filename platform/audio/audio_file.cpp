// Core Audio Format: an 8-byte file header, then chunks of a 4-byte type and a big-endian
// 64-bit size. 'desc' describes the stream, 'data' holds it (a size of -1 runs to the end of
// the file), 'pakt' counts its packets; other chunks are skipped. Every size is checked against
// the file before anything is read.
#include "platform/audio/audio_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace platform {
namespace {

// Sound files larger than this are refused rather than read.
constexpr uint64_t kMaxFileSize = 256u << 20;
// No sound card plays faster than this; a rate beyond it is a damaged description.
constexpr double kMaxSampleRate = 1000000;
// An IMA4 packet: 64 frames in 34 bytes a channel.
constexpr uint32_t kIma4FramesPerPacket = 64, kIma4BytesPerChannel = 34;

// Whether a description holds together: a playable rate, channels, and for IMA4 the packet
// shape every IMA4 file has.
bool isCoherent(const AudioStreamBasicDescription& format) {
  if (format.mChannelsPerFrame == 0 || !(format.mSampleRate > 0) ||
      !(format.mSampleRate <= kMaxSampleRate)) {
    return false;
  }
  if (format.mFormatID != kAudioFormatAppleIMA4) return true;
  return format.mFramesPerPacket == kIma4FramesPerPacket &&
         format.mBytesPerPacket == uint64_t{kIma4BytesPerChannel} * format.mChannelsPerFrame;
}

// In the file's own description, flag 2 of linear PCM says little-endian.
constexpr uint32_t kCAFLinearPCMFormatFlagIsFloat = 1;
constexpr uint32_t kCAFLinearPCMFormatFlagIsLittleEndian = 2;

class BigEndianReader {
 public:
  BigEndianReader(const std::vector<uint8_t>& bytes, uint64_t at, uint64_t end)
      : bytes_(bytes), at_(at), end_(end) {}
  bool has(uint64_t count) const { return end_ - at_ >= count; }
  uint64_t read(int size) {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | bytes_[at_++];
    return value;
  }
  uint32_t u32() { return static_cast<uint32_t>(read(4)); }
  uint64_t u64() { return read(8); }
  double f64() {
    const uint64_t raw = read(8);
    double value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
  }

 private:
  const std::vector<uint8_t>& bytes_;
  uint64_t at_, end_;
};

AudioStreamBasicDescription describe(BigEndianReader& in) {
  AudioStreamBasicDescription format;
  format.mSampleRate = in.f64();
  format.mFormatID = in.u32();
  const uint32_t fileFlags = in.u32();
  format.mBytesPerPacket = in.u32();
  format.mFramesPerPacket = in.u32();
  format.mChannelsPerFrame = in.u32();
  format.mBitsPerChannel = in.u32();
  if (format.mFormatID == kAudioFormatLinearPCM) {
    const bool isFloat = fileFlags & kCAFLinearPCMFormatFlagIsFloat;
    format.mFormatFlags =
        (isFloat ? kAudioFormatFlagIsFloat : kAudioFormatFlagIsSignedInteger) |
        kAudioFormatFlagIsPacked |
        ((fileFlags & kCAFLinearPCMFormatFlagIsLittleEndian) ? 0 : kAudioFormatFlagIsBigEndian);
    format.mBytesPerFrame =
        format.mFramesPerPacket ? format.mBytesPerPacket / format.mFramesPerPacket : 0;
  } else {
    format.mFormatFlags = fileFlags;
  }
  return format;
}

}  // namespace

OSStatus AudioFile::open(const std::string& path, std::unique_ptr<AudioFile>& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return kAudioFileNotFoundError;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return kAudioFileIOError;
  const std::streamoff size = in.tellg();
  if (size < 0) return kAudioFileIOError;
  if (static_cast<uint64_t>(size) > kMaxFileSize) return kAudioFileInvalidFileError;
  std::unique_ptr<AudioFile> opened(new AudioFile());
  opened->contents_.resize(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(opened->contents_.data()), size)) return kAudioFileIOError;

  const std::vector<uint8_t>& bytes = opened->contents_;
  BigEndianReader header(bytes, 0, bytes.size());
  if (!header.has(8) || header.u32() != fourCharCode("caff") || header.read(2) != 1) {
    return kAudioFileUnsupportedFileTypeError;
  }
  bool described = false, hasData = false;
  std::optional<uint64_t> packetTable;
  uint64_t at = 8;
  while (at < bytes.size()) {
    BigEndianReader chunk(bytes, at, bytes.size());
    if (!chunk.has(12)) return kAudioFileInvalidFileError;
    const uint32_t type = chunk.u32();
    const uint64_t declared = chunk.u64();
    const uint64_t body = at + 12, room = bytes.size() - body;
    // Only the audio data may leave its size open, running to the end of the file.
    const bool toTheEnd = declared == UINT64_MAX && type == fourCharCode("data");
    const uint64_t length = toTheEnd ? room : declared;
    if (length > room) return kAudioFileInvalidFileError;
    BigEndianReader content(bytes, body, body + length);
    if (type == fourCharCode("desc")) {
      if (described || length < 32) return kAudioFileInvalidFileError;
      opened->format_ = describe(content);
      described = true;
    } else if (type == fourCharCode("data")) {
      if (!described || hasData || length < 4) return kAudioFileInvalidFileError;
      opened->dataOffset_ = body + 4;  // after the edit count
      opened->dataSize_ = length - 4;
      hasData = true;
    } else if (type == fourCharCode("pakt")) {
      if (length < 24) return kAudioFileInvalidFileError;
      packetTable = content.u64();
    }
    at = body + length;
  }
  const AudioStreamBasicDescription& format = opened->format_;
  if (!described || !hasData || !isCoherent(format)) return kAudioFileInvalidFileError;
  const uint64_t wholePackets =
      format.mBytesPerPacket ? opened->dataSize_ / format.mBytesPerPacket : 0;
  // Packets of a fixed size: the table cannot count more of them than the data holds.
  if (packetTable && format.mBytesPerPacket && *packetTable > wholePackets) {
    return kAudioFileInvalidFileError;
  }
  opened->packets_ = packetTable.value_or(wholePackets);
  file = std::move(opened);
  return 0;
}

OSStatus AudioFile::readBytes(int64_t start, uint32_t& bytes, void* out) const {
  if (start < 0 || static_cast<uint64_t>(start) >= dataSize_) {
    bytes = 0;
    return kAudioFileEndOfFileError;
  }
  const uint64_t available = dataSize_ - static_cast<uint64_t>(start);
  bytes = static_cast<uint32_t>(std::min<uint64_t>(bytes, available));
  std::memcpy(out, contents_.data() + dataOffset_ + start, bytes);
  return 0;
}

std::string fourCharacters(uint32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
  return text;
}

std::string statusText(OSStatus status) {
  const std::string code = fourCharacters(static_cast<uint32_t>(status));
  const bool printable =
      std::all_of(code.begin(), code.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
  return printable ? "'" + code + "'" : std::to_string(status);
}

}  // namespace platform
