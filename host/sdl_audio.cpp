#include "sdl_audio.h"

#include <sys/stat.h>
#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace jphost {
namespace {

// rtkit's ceiling on a desktop; the servers' data threads ask for more.
constexpr int kRealTimePriority = 20;

SDL_AudioDeviceID Open(const char* name, SDL_AudioSpec& want) {
  // No changes allowed: SDL converts to whatever the card wants, and our
  // callback always sees float stereo at our rate.
  SDL_AudioSpec have{};
  return SDL_OpenAudioDevice(name, 0, &want, &have, 0);
}

// Real time straight from the kernel, as a player with an rtprio limit (or
// root) may take it; SDL itself only asks rtkit, which is not everywhere.
// Below the servers' own threads, and not inherited by children.
bool TakeRealTime() {
#if defined(__linux__)
  sched_param param{};
  param.sched_priority = kRealTimePriority;
  return pthread_setschedparam(pthread_self(), SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0;
#else
  return false;
#endif
}

bool WantRealTime() {
  // The mixing thread asks for real-time scheduling, as sound servers and
  // players do on a desktop (directly, or through rtkit); without it a busy
  // machine makes the mix late and the sound drop out. SDL_THREAD_FORCE_
  // REALTIME_TIME_CRITICAL=0 in the environment still says no.
  SDL_SetHint(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, "1");
  return SDL_GetHintBoolean(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, SDL_FALSE);
}

}  // namespace

RealTimeForNewThreads::RealTimeForNewThreads() {
#if defined(__linux__)
  if (!WantRealTime()) return;
  if (pthread_getschedparam(pthread_self(), &policy_, &param_) != 0) return;
  sched_param param{};
  param.sched_priority = kRealTimePriority;
  // No reset on fork: the point is that new threads inherit it.
  raised_ = pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0;
#endif
}

RealTimeForNewThreads::~RealTimeForNewThreads() {
#if defined(__linux__)
  if (raised_) pthread_setschedparam(pthread_self(), policy_, &param_);
#endif
}

uint32_t DefaultAudioPeriod(const char* sdlDriver) {
  static const struct {
    const char* driver;
    uint32_t frames;
  } kPeriods[] = {{"pipewire", 64}, {"pulseaudio", 128}};
  for (const auto& p : kPeriods)
    if (sdlDriver != nullptr && std::strcmp(sdlDriver, p.driver) == 0) return p.frames;
  return 256;
}

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
  WantRealTime();
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
  if (periodFrames_ > 32768) {
    std::fprintf(stderr, "audio: period of %u frames is not usable\n", periodFrames_);
    return false;
  }
  // SDL's pipewire driver gets every period through a thread of pipewire's
  // that nobody raises (its data loop, which wakes SDL's thread); a build
  // beside starves ordinary threads for tens of milliseconds, and the sound
  // stops meanwhile. Started from here it begins in real time, as SDL's
  // own thread does.
  RealTimeForNewThreads realTime;
  std::string error;
  if (!StartSdlAudio(error)) {
    std::fprintf(stderr, "audio: SDL audio is not available: %s\n", error.c_str());
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(periodFrames_ != 0 ? periodFrames_ : DefaultAudioPeriod(SDL_GetCurrentAudioDriver()));
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
  // Some drivers (pipewire) call us from a thread of their own that nobody
  // raised, and SDL's own request goes through rtkit alone. Where real time
  // is refused both ways, a high nice level is the next best.
  static thread_local bool raised = false;
  if (!raised) {
    raised = true;
    bool realTime = SDL_GetHintBoolean(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, SDL_FALSE);
    if (!(realTime && TakeRealTime()) && SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL) != 0)
      SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
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
