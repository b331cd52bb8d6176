// The live sink: an SDL2 audio device pulling the mix in small periods, so a
// tap sounds within a few milliseconds.
//
// SDL2's audio thread wakes every period for as long as the device is open,
// paused or not. When nothing has been queued for a while the sink's callback
// therefore holds that thread until a buffer is written (or the sink ends):
// an idle sound box costs no wake-ups, and the first buffer is mixed the
// moment it is written.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

#include "audio/sink.h"
#include "audio/wave_out_driver.h"

namespace wce::audio {

class SdlSink final : public Sink {
 public:
  // Null, with a message on stderr, when SDL audio cannot start (no sound
  // card). `deviceName` picks an output device by SDL's name for it; when it
  // cannot be opened the default device is used, with one message on stderr.
  static std::unique_ptr<SdlSink> Start(WaveOutDriver& driver, uint32_t rate, uint32_t periodFrames,
                                        const std::string& deviceName = {});
  ~SdlSink() override;

  // Silence played after the last buffer ends before the sink rests: the
  // tails still in SDL's and the sound server's buffers drain meanwhile.
  static constexpr uint32_t kRestAfterMs = 200;

  // True while the callback waits for a buffer (DeviceLock() held; tests).
  bool RestingLocked() const { return resting_; }

 private:
  SdlSink(WaveOutDriver& driver, uint32_t rate) : driver_(driver), restAfterFrames_(uint64_t{rate} * kRestAfterMs / 1000) {}
  static void SDLCALL Fill(void* self, Uint8* stream, int length);
  void FillLocked(std::unique_lock<std::mutex>& lock, float* out, size_t frames);

  WaveOutDriver& driver_;
  SDL_AudioDeviceID device_ = 0;
  // Guarded by DeviceLock().
  const uint64_t restAfterFrames_;
  uint64_t quietFrames_ = 0;  // rendered since the last buffer ended
  bool resting_ = false;
  bool stopping_ = false;
};

}  // namespace wce::audio
