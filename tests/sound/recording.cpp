#include "recording.h"

#include "wav_builder.h"

namespace jptest {
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
  std::vector<int16_t> left = LeftChannel(ReadFile(config_.audio.recordingPath));
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
