// Sound through SDL on its silent driver, which plays in real time: only
// what needs no real time to pass is looked at.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "device/device.h"
#include "sdl_audio.h"

namespace jphost {
namespace {

wce::AudioConfig SdlConfig(uint32_t periodFrames, const std::string& deviceName = {}) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  wce::AudioConfig config;
  config.kind = wce::AudioSinkKind::Output;
  config.output = std::make_shared<SdlAudioOutput>(periodFrames, deviceName);
  return config;
}

// A buffer written and cut short: its header comes back done, and stopping
// the sound closes the one device.
TEST(SdlAudioTest, PlaysOnSdlsSilentDriver) {
  ASSERT_TRUE(wce::AudioStart(SdlConfig(128)));
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = 44100;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = 88200;
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  std::vector<int16_t> samples(44100, 100);
  WAVEHDR header{};
  header.lpData = reinterpret_cast<LPSTR>(samples.data());
  header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(int16_t));
  ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  wce::AudioStop();
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
}

// The silent driver has only its default device: a named one it does not
// know is reported once and the default plays instead.
TEST(SdlAudioTest, AnUnknownOutputDeviceFallsBackToTheDefault) {
  testing::internal::CaptureStderr();
  bool started = wce::AudioStart(SdlConfig(256, "Nowhere Card"));
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started) << err;
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  wce::AudioStop();
  EXPECT_NE(err.find("\"Nowhere Card\""), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace jphost
