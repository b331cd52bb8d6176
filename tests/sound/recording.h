// A device whose audio goes into a WAV recording that follows the virtual
// clock, and helpers to write sounds and read the recording back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device_fixture.h"

namespace jptest {

constexpr uint32_t kRate = 48000;

// Recording frame at which device time `ms` falls.
constexpr size_t FrameAt(uint64_t ms) { return static_cast<size_t>(ms * kRate / 1000); }

class RecordingTest : public DeviceTest {
 protected:
  void SetUp() override;

  // Writes `bytes` as temp/app/<name> and returns its device path.
  std::wstring WriteSound(const std::string& name, const std::vector<uint8_t>& bytes);
  // Ends the recording and returns its left channel, one value a frame.
  std::vector<int16_t> FinishRecording();
};

// Mono 16-bit 48 kHz samples 1, 2, 3, ... `count`: each frame tells its offset.
std::vector<int16_t> Ramp(size_t count, int16_t first = 1);
std::vector<int16_t> Constant(size_t count, int16_t value);
// A canonical mono 16-bit 48 kHz file holding `samples`.
std::vector<uint8_t> MonoWav(const std::vector<int16_t>& samples);

}  // namespace jptest
