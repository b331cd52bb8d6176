#include "sdl_audio.h"

#include <cstdio>

namespace jphost {
namespace {

SDL_AudioDeviceID Open(const char* name, SDL_AudioSpec& want) {
  // No changes allowed: SDL converts to whatever the card wants, and our
  // callback always sees float stereo at our rate.
  SDL_AudioSpec have{};
  return SDL_OpenAudioDevice(name, 0, &want, &have, 0);
}

}  // namespace

bool SdlAudioOutput::Start(wce::AudioMix& mix, uint32_t rate) {
  Stop();
  if (periodFrames_ == 0 || periodFrames_ > 32768) {
    std::fprintf(stderr, "audio: period of %u frames is not usable\n", periodFrames_);
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: SDL audio is not available: %s\n", SDL_GetError());
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(periodFrames_);
  want.callback = &SdlAudioOutput::Fill;
  want.userdata = &mix;
  if (!deviceName_.empty()) {
    device_ = Open(deviceName_.c_str(), want);
    if (device_ == 0)
      std::fprintf(stderr, "audio: cannot open the output device \"%s\" (%s); using the default one\n",
                   deviceName_.c_str(), SDL_GetError());
  }
  if (device_ == 0) device_ = Open(nullptr, want);
  if (device_ == 0) {
    std::fprintf(stderr, "audio: cannot open an SDL audio device: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudioOutput::Stop() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // waits for a running Fill to return
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL SdlAudioOutput::Fill(void* mix, Uint8* stream, int length) {
  static_cast<wce::AudioMix*>(mix)->Pull(reinterpret_cast<float*>(stream),
                                         static_cast<size_t>(length) / (2 * sizeof(float)));
}

std::vector<std::string> ListSdlOutputDevices(std::string* error) {
  if (error != nullptr) error->clear();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return {};
  }
  std::vector<std::string> names;
  // A negative count means SDL cannot tell (some back ends): list nothing.
  int count = SDL_GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    if (name != nullptr) names.emplace_back(name);
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return names;
}

}  // namespace jphost
