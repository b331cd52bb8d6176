// Mixing six voices of different layouts and rates into one second of 48 kHz
// output, as the sinks pull it.
#include <benchmark/benchmark.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "audio/mixer.h"

namespace {

struct Source {
  WAVEFORMATEX format;
  std::vector<uint8_t> bytes;
  WAVEHDR header{};
};

WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD bits) {
  WAVEFORMATEX f{};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = bits;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}

// One second of quiet noise in the given layout (float sources need real floats).
std::unique_ptr<Source> MakeSource(const WAVEFORMATEX& format, std::mt19937& random) {
  auto source = std::make_unique<Source>();
  source->format = format;
  source->bytes.resize(size_t(format.nSamplesPerSec) * format.nBlockAlign);
  if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
    std::uniform_real_distribution<float> sample(-0.1f, 0.1f);
    for (size_t i = 0; i + 4 <= source->bytes.size(); i += 4) {
      float v = sample(random);
      std::memcpy(&source->bytes[i], &v, 4);
    }
  } else {
    for (uint8_t& b : source->bytes) b = static_cast<uint8_t>(random());
  }
  source->header.lpData = reinterpret_cast<LPSTR>(source->bytes.data());
  source->header.dwBufferLength = static_cast<DWORD>(source->bytes.size());
  return source;
}

void BM_MixSixVoicesOneSecond(benchmark::State& state) {
  constexpr uint32_t kRate = 48000;
  std::mt19937 random(7);
  std::vector<std::unique_ptr<Source>> sources;
  for (const WAVEFORMATEX& f : {Format(WAVE_FORMAT_PCM, 1, 48000, 16), Format(WAVE_FORMAT_PCM, 2, 44100, 16),
                                Format(WAVE_FORMAT_PCM, 1, 22050, 8), Format(WAVE_FORMAT_PCM, 2, 96000, 24),
                                Format(WAVE_FORMAT_IEEE_FLOAT, 2, 48000, 32), Format(WAVE_FORMAT_PCM, 1, 8000, 32)})
    sources.push_back(MakeSource(f, random));

  wce::audio::Mixer mixer(kRate);
  std::vector<std::shared_ptr<wce::audio::Voice>> voices;
  for (const auto& s : sources) voices.push_back(mixer.AddVoice(*wce::audio::LayoutFromFormat(s->format), nullptr));
  std::vector<int16_t> out(2 * kRate);

  for (auto _ : state) {
    for (size_t i = 0; i < voices.size(); ++i) {
      voices[i]->Reset();
      voices[i]->Queue(&sources[i]->header);
    }
    mixer.RenderS16(out.data(), kRate);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] =
      benchmark::Counter(double(kRate) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixSixVoicesOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
