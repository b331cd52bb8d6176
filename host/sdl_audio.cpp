#include "sdl_audio.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace jphost {
namespace {

SDL_AudioDeviceID Open(const char* name, SDL_AudioSpec& want) {
  // No changes allowed: SDL converts to whatever the card wants, and our
  // callback always sees float stereo at our rate.
  SDL_AudioSpec have{};
  return SDL_OpenAudioDevice(name, 0, &want, &have, 0);
}

}  // namespace

std::string PreferredSdlAudioDriver(const char* sdlAudioDriver, bool pipewireSession) {
  if (sdlAudioDriver != nullptr && sdlAudioDriver[0] != '\0') return std::string();
  return pipewireSession ? "pipewire" : std::string();
}

bool PipeWireSession(const char* remote, const char* runtimeDir, const char* xdgRuntimeDir) {
  std::string name = remote != nullptr && remote[0] != '\0' ? remote : "pipewire-0";
  std::string path = name;
  if (name[0] != '/') {
    const char* dir = runtimeDir != nullptr && runtimeDir[0] != '\0' ? runtimeDir : xdgRuntimeDir;
    if (dir == nullptr || dir[0] == '\0') return false;
    path = std::string(dir) + "/" + name;
  }
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool StartSdlAudio(std::string& error) {
  std::string preferred =
      PreferredSdlAudioDriver(std::getenv("SDL_AUDIODRIVER"),
                              PipeWireSession(std::getenv("PIPEWIRE_REMOTE"), std::getenv("PIPEWIRE_RUNTIME_DIR"),
                                              std::getenv("XDG_RUNTIME_DIR")));
  if (!preferred.empty()) {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, preferred.c_str());
    bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (started) return true;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) return true;
  error = SDL_GetError();
  return false;
}

bool SdlAudioOutput::Start(wce::AudioMix& mix, uint32_t rate) {
  Stop();
  if (periodFrames_ == 0 || periodFrames_ > 32768) {
    std::fprintf(stderr, "audio: period of %u frames is not usable\n", periodFrames_);
    return false;
  }
  std::string error;
  if (!StartSdlAudio(error)) {
    std::fprintf(stderr, "audio: SDL audio is not available: %s\n", error.c_str());
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
  // Some drivers (pipewire) call us from a thread of their own at normal
  // priority, where a build beside us makes the mix late and the sound drop
  // out. A refusal (no right to raise it) leaves it as it was.
  static thread_local bool raised = false;
  if (!raised) {
    raised = true;
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
  }
  static_cast<wce::AudioMix*>(mix)->Pull(reinterpret_cast<float*>(stream),
                                         static_cast<size_t>(length) / (2 * sizeof(float)));
}

std::vector<std::string> ListSdlOutputDevices(std::string* error) {
  if (error != nullptr) error->clear();
  std::string why;
  if (!StartSdlAudio(why)) {
    if (error != nullptr) *error = why;
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
