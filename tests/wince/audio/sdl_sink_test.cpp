// The live sink on SDL's silent driver, which plays in real time: the waits
// here are for states to be reached, bounded generously, never for speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "audio/sdl_sink.h"
#include "audio_fixture.h"
#include "kernel/clock.h"

namespace jptest {
namespace {

bool Eventually(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::atomic<int> gDone{0};
void CALLBACK CountDone(HWAVEOUT, UINT message, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  if (message == WOM_DONE) ++gDone;
}

class SdlSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    wce::ClockReset(wce::ClockMode::Real);
    driver_.Start(48000);
    callbacks_.Start([] { return wce::kNoDeadline; });
  }
  void TearDown() override {
    callbacks_.Stop();
    driver_.Stop();
    wce::ClockReset(wce::ClockMode::Virtual);
  }
  bool Resting(const wce::audio::SdlSink& sink) {
    std::lock_guard<std::mutex> lock(wce::DeviceLock());
    return sink.RestingLocked();
  }

  wce::audio::CallbackQueue callbacks_;
  wce::audio::WaveOutDriver driver_{callbacks_};
};

// Idle, the callback holds SDL's thread; a written buffer wakes it and is
// played to its end; the sink rests again and can be ended while resting.
TEST_F(SdlSinkTest, RestsWhileNothingIsQueuedAndWakesForEachBuffer) {
  gDone = 0;
  auto sink = wce::audio::SdlSink::Start(driver_, 48000, 128);
  ASSERT_TRUE(sink);
  ASSERT_TRUE(Eventually([&] { return Resting(*sink); }));

  const WAVEFORMATEX f = Pcm16(1, 48000);
  HWAVEOUT device = nullptr;
  ASSERT_EQ(driver_.Open(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&CountDone), 0, CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  for (int round = 1; round <= 2; ++round) {
    Buffer buffer(Mono16(100, 480));  // 10 ms
    ASSERT_EQ(driver_.Prepare(device, &buffer.header, kSize), MMSYSERR_NOERROR);
    ASSERT_EQ(driver_.Write(device, &buffer.header, kSize), MMSYSERR_NOERROR);
    ASSERT_TRUE(Eventually([&] { return gDone == round; })) << "round " << round;
    EXPECT_TRUE(buffer.header.dwFlags & WHDR_DONE);
    ASSERT_EQ(driver_.Unprepare(device, &buffer.header, kSize), MMSYSERR_NOERROR);
    ASSERT_TRUE(Eventually([&] { return Resting(*sink); })) << "round " << round;
  }
  EXPECT_EQ(driver_.Close(device), MMSYSERR_NOERROR);
  sink.reset();  // must not wait for a buffer that never comes
}

// The silent driver has only its default device: a named one it does not
// know is reported once and the default plays instead.
TEST(SdlSinkDeviceTest, AnUnknownOutputDeviceFallsBackToTheDefault) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  wce::AudioConfig config;
  config.kind = wce::AudioSinkKind::Sdl;
  config.deviceName = "Nowhere Card";
  testing::internal::CaptureStderr();
  bool started = wce::AudioStart(config);
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started) << err;
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  wce::AudioStop();
  EXPECT_NE(err.find("\"Nowhere Card\""), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

}  // namespace
}  // namespace jptest
