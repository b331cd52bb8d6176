#include "recording.h"

#include <algorithm>
#include <cstring>

#include "wav_builder.h"

namespace jptest {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

void RecordingTest::SetUp() {
  config_.audio.kind = wce::AudioSinkKind::Recording;
  config_.audio.recordingPath = temp_ / "recording.wav";
  config_.audio.rate = kRate;
  DeviceTest::SetUp();
}

std::wstring RecordingTest::WriteSound(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = temp_ / ("app/" + name);
  EXPECT_TRUE(WriteFile(path, bytes));
  return wce::PosixPathToDevice(path);
}

std::vector<int16_t> RecordingTest::FinishRecording() {
  wce::AudioStop();
  std::vector<uint8_t> file = ReadFile(config_.audio.recordingPath);
  std::vector<int16_t> left;
  // Walk the chunks to the samples: 16-bit stereo, so 4 bytes a frame.
  size_t at = 12;
  while (at + 8 <= file.size()) {
    uint32_t size = Le32(file, at + 4);
    if (std::memcmp(&file[at], "data", 4) == 0) {
      size_t end = std::min(file.size(), at + 8 + static_cast<size_t>(size));
      for (size_t p = at + 8; p + 4 <= end; p += 4) {
        left.push_back(static_cast<int16_t>(file[p] | (file[p + 1] << 8)));
      }
      break;
    }
    at += 8 + size + (size & 1);
  }
  EXPECT_FALSE(left.empty()) << "no recording";
  return left;
}

std::vector<int16_t> Ramp(size_t count, int16_t first) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(first + i);
  return samples;
}

std::vector<int16_t> Constant(size_t count, int16_t value) { return std::vector<int16_t>(count, value); }

std::vector<uint8_t> MonoWav(const std::vector<int16_t>& samples) {
  WavFormat format;
  format.channels = 1;
  format.rate = kRate;
  format.bits = 16;
  return CanonicalWav(format, Pcm16(samples));
}

}  // namespace jptest
