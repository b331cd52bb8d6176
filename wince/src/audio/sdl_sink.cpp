#include "audio/sdl_sink.h"

#include <cstdio>

#include "kernel/clock.h"

namespace wce::audio {
namespace {

SDL_AudioDeviceID Open(const char* name, SDL_AudioSpec& want) {
  // No changes allowed: SDL converts to whatever the card wants, and our
  // callback always sees float stereo at our rate.
  SDL_AudioSpec have{};
  return SDL_OpenAudioDevice(name, 0, &want, &have, 0);
}

}  // namespace

std::unique_ptr<SdlSink> SdlSink::Start(WaveOutDriver& driver, uint32_t rate, uint32_t periodFrames,
                                        const std::string& deviceName) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: SDL audio is not available: %s\n", SDL_GetError());
    return nullptr;
  }
  std::unique_ptr<SdlSink> sink(new SdlSink(driver, rate));
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(periodFrames);
  want.callback = &SdlSink::Fill;
  want.userdata = sink.get();
  if (!deviceName.empty()) {
    sink->device_ = Open(deviceName.c_str(), want);
    if (sink->device_ == 0)
      std::fprintf(stderr, "audio: cannot open the output device \"%s\" (%s); using the default one\n",
                   deviceName.c_str(), SDL_GetError());
  }
  if (sink->device_ == 0) sink->device_ = Open(nullptr, want);
  if (sink->device_ == 0) {
    std::fprintf(stderr, "audio: cannot open an SDL audio device: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(sink->device_, 0);
  return sink;
}

SdlSink::~SdlSink() {
  {
    // A resting callback holds SDL's device lock, which closing takes first.
    std::lock_guard<std::mutex> lock(DeviceLock());
    stopping_ = true;
    ClockNotifyAll();
  }
  SDL_CloseAudioDevice(device_);  // waits for a running Fill to return
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL SdlSink::Fill(void* self, Uint8* stream, int length) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  static_cast<SdlSink*>(self)->FillLocked(lock, reinterpret_cast<float*>(stream),
                                          static_cast<size_t>(length) / (2 * sizeof(float)));
}

void SdlSink::FillLocked(std::unique_lock<std::mutex>& lock, float* out, size_t frames) {
  auto queued = [this] { return driver_.FramesUntilNextDoneLocked() != kNoDeadline; };
  if (queued()) {
    quietFrames_ = 0;
  } else if (quietFrames_ >= restAfterFrames_ && !stopping_) {
    // Written buffers notify the clock's waiters; so does the destructor.
    resting_ = true;
    ClockWait(lock, [&] { return stopping_ || queued(); }, kNoDeadline);
    resting_ = false;
    quietFrames_ = 0;
  }
  driver_.RenderFloatLocked(out, frames);
  if (!queued()) quietFrames_ += frames;
}

}  // namespace wce::audio
