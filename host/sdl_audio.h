// Sound on Linux: an SDL2 audio device pulling the device's mix in small
// periods, so a tap sounds within a few milliseconds, and the list of the
// outputs SDL knows (--list-audio-devices, --audio sdl:NAME).
//
// SDL2's audio thread wakes every period for as long as the device is open,
// paused or not; the output therefore rests (RestAfterMs): the device's mix
// holds that thread while nothing plays.
#pragma once

#include <SDL.h>
#include <sched.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "device/device.h"

namespace jphost {

class SdlAudioOutput final : public wce::AudioOutput {
 public:
  // `deviceName` picks an output device by SDL's name for it; when it cannot
  // be opened the default device is used, with one message on stderr.
  // `periodFrames` 0 is the driver's DefaultAudioPeriod.
  explicit SdlAudioOutput(uint32_t periodFrames = 0, std::string deviceName = {})
      : periodFrames_(periodFrames), deviceName_(std::move(deviceName)) {}
  ~SdlAudioOutput() override { Stop(); }

  // Silence played after the last buffer ends before the output rests: the
  // tails still in SDL's and the sound server's buffers drain meanwhile.
  static constexpr uint32_t kRestAfterMs = 200;

  // False, with a message on stderr, when SDL audio cannot start (no sound card).
  bool Start(wce::AudioMix& mix, uint32_t rate) override;
  void Stop() override;
  uint32_t RestAfterMs() const override { return kRestAfterMs; }

 private:
  static void SDLCALL Fill(void* mix, Uint8* stream, int length);

  const uint32_t periodFrames_;
  const std::string deviceName_;
  SDL_AudioDeviceID device_ = 0;
};

// While it lives, threads the calling thread starts run in real time (round
// robin at the priority the mixing thread takes), where SDL's real-time hint
// is on and the system allows it (root, an rtprio limit); otherwise nothing
// changes. The calling thread gets its own scheduling back at the end.
class RealTimeForNewThreads {
 public:
  RealTimeForNewThreads();
  ~RealTimeForNewThreads();
  RealTimeForNewThreads(const RealTimeForNewThreads&) = delete;
  RealTimeForNewThreads& operator=(const RealTimeForNewThreads&) = delete;
  bool Raised() const { return raised_; }

 private:
  bool raised_ = false;
  int policy_ = 0;
  sched_param param_{};
};

// Frames per period where the user chose none, by SDL's driver. PipeWire's
// is the fewest that played a minute of taps with a build running beside
// without a gap (tools/latency.sh --load). PulseAudio's server hands every
// period over on its ordinary main thread, which a busy machine makes late
// at any period; there 64 frames left gaps even on a quiet machine, 128 no
// more than 256. Drivers not measured keep the safe 256.
uint32_t DefaultAudioPeriod(const char* sdlDriver);

// The SDL audio driver to ask for first. SDL_AUDIODRIVER, when set, is the
// user's word and SDL reads it itself (empty). On a PipeWire session SDL 2.26
// would pick its pulseaudio driver, through pipewire-pulse, whose larger
// quantum and buffer add 5 to 20 ms to a tap: "pipewire" then. Otherwise
// empty: SDL's own order (pulseaudio, then alsa, ...).
std::string PreferredSdlAudioDriver(const char* sdlAudioDriver, bool pipewireSession);

// Whether a PipeWire server listens for us: its socket, PIPEWIRE_REMOTE (or
// pipewire-0) in PIPEWIRE_RUNTIME_DIR, else XDG_RUNTIME_DIR (either may be null).
bool PipeWireSession(const char* remote, const char* runtimeDir, const char* xdgRuntimeDir);

// Starts SDL audio with the preferred driver, falling back on SDL's own
// choice when that one cannot start. False with SDL's reason in `error`.
bool StartSdlAudio(std::string& error);

// The names of SDL's output devices, as SdlAudioOutput takes them; empty when
// there are none, or when SDL audio cannot start (then `error`, if given,
// says why; it is left empty otherwise).
std::vector<std::string> ListSdlOutputDevices(std::string* error = nullptr);

}  // namespace jphost
