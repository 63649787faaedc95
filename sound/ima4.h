// IMA ADPCM in the 34-byte channel blocks of IMA4 packets, decoded to signed 16-bit PCM.
#pragma once

#include <cstdint>

#include "platform/audio/audio_file.h"

extern const int32_t ima_step_table[89];
extern const int32_t ima_index_table[16];

// Decodes `packets` packets of 64 frames, channels interleaved in the output; one channel, or
// two (a left block then a right block a packet).
void ima_decompress(unsigned packets, const platform::AudioStreamBasicDescription& format,
                    const uint8_t* input, int16_t* output);

// Decodes one block to 64 samples written `stride` samples apart. Every block starts afresh
// from the predictor and step index in its own header.
void ima_decompress_packet(const uint8_t* block, int16_t* output, int stride);
