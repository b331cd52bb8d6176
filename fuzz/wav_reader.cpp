// Fuzz target: a WAV file of any content becomes a player, plays a few
// milliseconds through the mixer into a recording, and is destroyed while it
// may still be playing. Nothing in the file may crash the player or the mixer.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "device/device.h"
#include "sound/WavePlayer.h"

namespace {

struct FuzzDevice {
  std::string folder;
  std::string wavPath;
  std::wstring wavDevicePath;
  int inputsSinceStart = 0;

  // The input is rewritten for every run: TMPDIR on a memory file system
  // keeps the run from waiting on the disk.
  FuzzDevice() {
    std::string pattern = (std::filesystem::temp_directory_path() / "jostlepad-fuzz-wav-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    wavPath = folder + "/input.wav";
    wavDevicePath = wce::PosixPathToDevice(wavPath);
    Start();
  }

  ~FuzzDevice() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // The recording grows with device time; start a fresh device now and then
  // so a long run does not fill the disk.
  void Start() {
    wce::DeviceConfig config;
    config.audio.kind = wce::AudioSinkKind::Recording;
    config.audio.recordingPath = folder + "/out.wav";
    if (!wce::DeviceStart(config)) std::abort();
    inputsSinceStart = 0;
  }

  void Recycle() {
    if (++inputsSinceStart < 2000) return;
    wce::DeviceStop();
    Start();
  }
};

FuzzDevice& Device() {
  static FuzzDevice device;
  return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDevice& device = Device();
  FILE* f = std::fopen(device.wavPath.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  {
    WavePlayer player(device.wavDevicePath.c_str());
    bool played = player.Play();
    if (played && !player.HasDevice()) std::abort();  // a play needs an open device
    wce::ClockAdvanceTo(wce::ClockNowMs() + 3);
    player.Play();  // restart while playing
    wce::ClockAdvanceTo(wce::ClockNowMs() + 2);
  }  // destroyed while its sound may still be queued
  wce::ClockAdvanceTo(wce::ClockNowMs() + 1);
  device.Recycle();
  return 0;
}
