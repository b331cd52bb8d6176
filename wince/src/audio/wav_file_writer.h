// A 16-bit stereo WAV file that grows as the recording goes on. Its RIFF and
// data sizes are patched after every append, so the file on disk is a valid
// WAV at any moment, not only once it is finished.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace wce::audio {

constexpr size_t kWavHeaderBytes = 44;
// The header of a 16-bit stereo PCM WAV holding `dataBytes` of samples.
void FillWavHeader(uint8_t (&header)[kWavHeaderBytes], uint32_t rate, uint32_t dataBytes);

// A mixed sample as the recording keeps it: scaled, clipped, NaN silent.
inline int16_t MixToS16(float x) {
  float v = x * 32768.0f;
  if (v >= 32767.0f) return 32767;
  if (v <= -32768.0f) return -32768;
  if (v != v) return 0;
  return static_cast<int16_t>(std::lrint(v));
}

class WavFileWriter {
 public:
  // Null (errno set) when the file cannot be created.
  static std::unique_ptr<WavFileWriter> Create(const std::string& path, uint32_t rate);
  ~WavFileWriter();
  WavFileWriter(const WavFileWriter&) = delete;
  WavFileWriter& operator=(const WavFileWriter&) = delete;

  // Appends interleaved stereo frames and patches the sizes; false on a write error.
  bool Append(const int16_t* frames, size_t count);

 private:
  explicit WavFileWriter(int fd) : fd_(fd) {}
  bool PatchSizes();

  int fd_;
  uint64_t dataBytes_ = 0;
};

}  // namespace wce::audio
