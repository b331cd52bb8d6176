// A slot trigger: the player resets its device and writes its prepared buffer again.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "device/device.h"
#include "sound/SoundBank.h"
#include "sound/SoundSlots.h"
#include "sound/WavePlayer.h"
#include "test_files.h"
#include "wav_builder.h"

namespace {

void BM_SlotTrigger(benchmark::State& state) {
  jptest::TempDir temp;
  std::string wav = temp / "Kick.wav";
  std::vector<int16_t> samples(48000, 1000);  // one second
  jptest::WriteFile(wav, jptest::CanonicalWav(jptest::WavFormat{}, jptest::Pcm16(samples)));

  wce::DeviceConfig config;
  config.audio.kind = wce::AudioSinkKind::Recording;
  config.audio.recordingPath = temp / "out.wav";
  struct Device {
    explicit Device(const wce::DeviceConfig& c) : started(wce::DeviceStart(c)) {}
    ~Device() { wce::DeviceStop(); }
    bool started;
  } device(config);
  if (!device.started) {
    state.SkipWithError("device did not start");
    return;
  }
  {
    std::wstring path = wce::PosixPathToDevice(wav);
    SoundBank bank;
    bank.Add(L"Drums", L"Kick.wav", path.c_str(), NULL, NULL);
    {
      // The slot plays silently rather than failing, so prove the file plays first.
      WavePlayer probe(path.c_str());
      if (!probe.Play()) {
        state.SkipWithError("the sound does not play on this device");
        return;
      }
    }
    SoundSlots slots;
    slots.Assign(3, bank.At(0));
    for (auto _ : state) benchmark::DoNotOptimize(slots.Play(3));
    slots.StopAll();
  }
}

}  // namespace

BENCHMARK(BM_SlotTrigger);

BENCHMARK_MAIN();
