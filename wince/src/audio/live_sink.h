// The live sink: a device folder's output (AudioOutput) pulling the mix in
// small periods from its own thread, so a tap sounds within a few milliseconds.
//
// An output's thread may wake every period for as long as it runs, sound or
// none. When nothing has been queued for the output's rest time the pull
// therefore holds that thread until a buffer is written (or the sink ends):
// an idle sound box costs no wake-ups, and the first buffer is mixed the
// moment it is written.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "audio/sink.h"
#include "audio/wave_out_driver.h"
#include "device/device.h"

namespace wce::audio {

class LiveSink final : public Sink, private AudioMix {
 public:
  // Null when the output cannot start (it says why on stderr).
  static std::unique_ptr<LiveSink> Start(WaveOutDriver& driver, std::shared_ptr<AudioOutput> output, uint32_t rate);
  ~LiveSink() override;

  // True while a pull waits for a buffer (DeviceLock() held; tests).
  bool RestingLocked() const { return resting_; }

 private:
  LiveSink(WaveOutDriver& driver, std::shared_ptr<AudioOutput> output, uint32_t rate);
  void Pull(float* out, size_t frames) override;
  void PullLocked(std::unique_lock<std::mutex>& lock, float* out, size_t frames);

  WaveOutDriver& driver_;
  const std::shared_ptr<AudioOutput> output_;
  bool started_ = false;
  // Guarded by DeviceLock().
  const uint64_t restAfterFrames_;  // 0: never rests
  uint64_t quietFrames_ = 0;        // rendered since the last buffer ended
  bool resting_ = false;
  bool stopping_ = false;
  uint64_t mixedWritten_ = 0;  // the driver's written count at the last pull
};

}  // namespace wce::audio
