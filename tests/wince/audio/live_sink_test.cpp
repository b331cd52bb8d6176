// The live sink with an output that pulls in real time from a thread of its
// own, as a sound card's does: the waits here are for states to be reached,
// bounded generously, never for speed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "audio/live_sink.h"
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

// Pulls 128 frames every millisecond until stopped.
class PullingOutput : public wce::AudioOutput {
 public:
  explicit PullingOutput(uint32_t restAfterMs) : restAfterMs_(restAfterMs) {}
  ~PullingOutput() override { Stop(); }
  bool Start(wce::AudioMix& mix, uint32_t) override {
    running_ = true;
    thread_ = std::thread([this, &mix] {
      std::vector<float> period(2 * 128);
      while (running_) {
        mix.Pull(period.data(), 128);
        ++pulls_;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    return true;
  }
  void Stop() override {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }
  uint32_t RestAfterMs() const override { return restAfterMs_; }
  int Pulls() const { return pulls_; }

 private:
  const uint32_t restAfterMs_;
  std::atomic<bool> running_{false};
  std::atomic<int> pulls_{0};
  std::thread thread_;
};

class LiveSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Real);
    driver_.Start(48000);
    callbacks_.Start([] { return wce::kNoDeadline; });
  }
  void TearDown() override {
    callbacks_.Stop();
    driver_.Stop();
    wce::ClockReset(wce::ClockMode::Virtual);
  }
  bool Resting(const wce::audio::LiveSink& sink) {
    std::lock_guard<std::mutex> lock(wce::DeviceLock());
    return sink.RestingLocked();
  }

  wce::audio::CallbackQueue callbacks_;
  wce::audio::WaveOutDriver driver_{callbacks_};
};

// Idle, the pull holds the output's thread; a written buffer wakes it and is
// played to its end; the sink rests again and can be ended while resting.
TEST_F(LiveSinkTest, RestsWhileNothingIsQueuedAndWakesForEachBuffer) {
  gDone = 0;
  auto sink = wce::audio::LiveSink::Start(driver_, std::make_shared<PullingOutput>(200), 48000);
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

// An output that does not rest is pulled on through the silence.
TEST_F(LiveSinkTest, AnOutputWithoutRestIsNeverHeld) {
  auto output = std::make_shared<PullingOutput>(0);
  auto sink = wce::audio::LiveSink::Start(driver_, output, 48000);
  ASSERT_TRUE(sink);
  // 300 pulls are 800 ms of sound: far past any rest.
  ASSERT_TRUE(Eventually([&] { return output->Pulls() > 300; }));
  EXPECT_FALSE(Resting(*sink));
}

}  // namespace
}  // namespace jptest
