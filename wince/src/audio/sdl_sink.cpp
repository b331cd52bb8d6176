#include "audio/sdl_sink.h"

#include <cstdio>

#include "kernel/clock.h"

namespace wce::audio {

std::unique_ptr<SdlSink> SdlSink::Start(WaveOutDriver& driver, uint32_t rate, uint32_t periodFrames) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: SDL audio is not available: %s\n", SDL_GetError());
    return nullptr;
  }
  std::unique_ptr<SdlSink> sink(new SdlSink(driver));
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(periodFrames);
  want.callback = &SdlSink::Fill;
  want.userdata = sink.get();
  // No changes allowed: SDL converts to whatever the card wants, and our
  // callback always sees float stereo at our rate.
  SDL_AudioSpec have{};
  sink->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (sink->device_ == 0) {
    std::fprintf(stderr, "audio: cannot open an SDL audio device: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(sink->device_, 0);
  return sink;
}

SdlSink::~SdlSink() {
  SDL_CloseAudioDevice(device_);  // waits for a running Fill to return
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL SdlSink::Fill(void* self, Uint8* stream, int length) {
  auto* out = reinterpret_cast<float*>(stream);
  std::lock_guard<std::mutex> lock(DeviceLock());
  static_cast<SdlSink*>(self)->driver_.RenderFloatLocked(out, static_cast<size_t>(length) / (2 * sizeof(float)));
}

}  // namespace wce::audio
