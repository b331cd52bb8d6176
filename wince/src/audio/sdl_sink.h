// The live sink: an SDL2 audio device pulling the mix in small periods, so a
// tap sounds within a few milliseconds.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "audio/sink.h"
#include "audio/wave_out_driver.h"

namespace wce::audio {

class SdlSink final : public Sink {
 public:
  // Null, with a message on stderr, when SDL audio cannot start (no sound card).
  static std::unique_ptr<SdlSink> Start(WaveOutDriver& driver, uint32_t rate, uint32_t periodFrames);
  ~SdlSink() override;

 private:
  explicit SdlSink(WaveOutDriver& driver) : driver_(driver) {}
  static void SDLCALL Fill(void* self, Uint8* stream, int length);

  WaveOutDriver& driver_;
  SDL_AudioDeviceID device_ = 0;
};

}  // namespace wce::audio
