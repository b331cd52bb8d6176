// Shared pieces of the wave-out tests: a device recording its mix on the
// virtual clock, a callback that logs what it is told, buffers whose headers
// stay put, and a reader for the recording.
#pragma once

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_device.h"
#include "device/device.h"
#include "test_files.h"

namespace jptest {

constexpr UINT kSize = sizeof(WAVEHDR);

WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD bits);
inline WAVEFORMATEX Pcm16(WORD channels = 1, DWORD rate = 48000) {
  return Format(WAVE_FORMAT_PCM, channels, rate, 16);
}

// `frames` frames, each channel's sample given as the low `bytes` bytes of a code.
std::vector<uint8_t> Frames(int bytes, std::vector<uint32_t> channelCodes, size_t frames);
inline std::vector<uint8_t> Mono16(int16_t value, size_t frames) { return Frames(2, {uint16_t(value)}, frames); }

struct Buffer {
  explicit Buffer(std::vector<uint8_t> data);
  std::vector<uint8_t> bytes;
  WAVEHDR header{};
};
inline std::unique_ptr<Buffer> MakeBuffer(std::vector<uint8_t> data) {
  return std::make_unique<Buffer>(std::move(data));
}

// What a callback was told, and how its header looked at that moment.
struct CallbackEvent {
  HWAVEOUT device;
  UINT message;
  WAVEHDR* header;
  DWORD flagsSeen;
  std::thread::id thread;
};

class CallbackLog {
 public:
  static void CALLBACK Proc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
  std::vector<CallbackEvent> Events();  // flushes the device's callbacks first

 private:
  std::mutex mutex_;
  std::vector<CallbackEvent> events_;
};

// Interleaved samples of a 16-bit stereo WAV file; checks its header and sizes.
std::vector<int16_t> ReadRecording(const std::string& path);
// First frame in [from, to) whose channels are not both `value`; `to` if none.
size_t FirstOtherThan(const std::vector<int16_t>& r, int16_t value, size_t from, size_t to);

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override { StartRecording(48000); }
  void TearDown() override { wce::AudioStop(); }

  void StartRecording(uint32_t rate);  // a fresh clock, driven from 0
  HWAVEOUT Open(const WAVEFORMATEX& format);  // with log_ as its callback
  void Play(HWAVEOUT device, Buffer& buffer);  // prepare and write
  std::vector<int16_t> FinishRecording();      // stops the device

  TempDir temp_;
  std::string path_;
  CallbackLog log_;
};

}  // namespace jptest
