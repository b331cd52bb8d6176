// Builds WAV files byte by byte for tests: canonical 44-byte files and
// deliberately odd ones.
#pragma once

#include <cstdint>
#include <vector>

namespace jptest {

struct WavFormat {
  uint16_t formatTag = 1;
  uint16_t channels = 1;
  uint32_t rate = 48000;
  uint16_t bits = 16;
  uint16_t blockAlign = 0;      // 0: channels * bits / 8
  uint32_t bytesPerSecond = 0;  // 0: rate * block align
};

// RIFF/WAVE, 16-byte fmt chunk, data chunk header at 36, samples from 44.
std::vector<uint8_t> CanonicalWav(const WavFormat& format, const std::vector<uint8_t>& data);
// Little-endian 16-bit samples as bytes.
std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples);

// The left channel of a 16-bit stereo WAV (the device's recordings), one value
// a frame; empty when the file holds no data chunk.
std::vector<int16_t> LeftChannel(const std::vector<uint8_t>& wavFile);

}  // namespace jptest
