// Sound files: a reader for Core Audio Format files that gives their data format, the size of
// their audio data, their packet count and their bytes. Statuses are four-character codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using OSStatus = int32_t;

constexpr uint32_t fourCharCode(const char (&code)[5]) {
  return (uint32_t{static_cast<uint8_t>(code[0])} << 24) |
         (uint32_t{static_cast<uint8_t>(code[1])} << 16) |
         (uint32_t{static_cast<uint8_t>(code[2])} << 8) | uint32_t{static_cast<uint8_t>(code[3])};
}

// The format of a stream of audio, as the loader reads it.
struct AudioStreamBasicDescription {
  double mSampleRate = 0;
  uint32_t mFormatID = 0;
  uint32_t mFormatFlags = 0;
  uint32_t mBytesPerPacket = 0;
  uint32_t mFramesPerPacket = 0;
  uint32_t mBytesPerFrame = 0;
  uint32_t mChannelsPerFrame = 0;
  uint32_t mBitsPerChannel = 0;
  uint32_t mReserved = 0;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40);

constexpr uint32_t kAudioFormatLinearPCM = fourCharCode("lpcm");
constexpr uint32_t kAudioFormatAppleIMA4 = fourCharCode("ima4");
constexpr uint32_t kAudioFormatFlagIsFloat = 1;
constexpr uint32_t kAudioFormatFlagIsBigEndian = 2;
constexpr uint32_t kAudioFormatFlagIsSignedInteger = 4;
constexpr uint32_t kAudioFormatFlagIsPacked = 8;

constexpr OSStatus kAudioFileNotFoundError = -43;
constexpr OSStatus kAudioFileIOError = -36;
constexpr OSStatus kAudioFileUnsupportedFileTypeError = static_cast<OSStatus>(fourCharCode("typ?"));
constexpr OSStatus kAudioFileInvalidFileError = static_cast<OSStatus>(fourCharCode("dta?"));
constexpr OSStatus kAudioFileEndOfFileError = static_cast<OSStatus>(fourCharCode("eof?"));

// The four characters of a code, the inverse of fourCharCode ("ima4").
std::string fourCharacters(uint32_t code);
// A status as people read it: a four-character code in quotes ('typ?'), anything else as a
// number (-43).
std::string statusText(OSStatus status);

class AudioFile {
 public:
  // Reads and checks the whole file. A missing file gives kAudioFileNotFoundError, a file that
  // is not a CAF file 'typ?', one whose chunks, sizes or description do not hold together
  // 'dta?': no channels, a sample rate that is not a number from 0 to 1 MHz, IMA4 packets of
  // other than 64 frames in 34 bytes a channel, a packet table counting more packets of a fixed
  // size than the data holds.
  static OSStatus open(const std::string& path, std::unique_ptr<AudioFile>& file);

  const AudioStreamBasicDescription& dataFormat() const { return format_; }
  uint64_t audioDataByteCount() const { return dataSize_; }
  // From the packet table when the file has one, else the whole packets the data holds.
  uint64_t audioDataPacketCount() const { return packets_; }
  // Copies up to `bytes` bytes of audio data from `start` on; `bytes` becomes the number copied.
  // Reading nothing at or past the end gives 'eof?'.
  OSStatus readBytes(int64_t start, uint32_t& bytes, void* out) const;

 private:
  AudioFile() = default;

  std::vector<uint8_t> contents_;
  AudioStreamBasicDescription format_;
  uint64_t dataOffset_ = 0, dataSize_ = 0, packets_ = 0;
};

}  // namespace platform
