// Scanning and sorting the sound bank: 10,000 sounds in 100 packs.
#include <benchmark/benchmark.h>

#include <string>

#include "device/device.h"
#include "png_writer.h"
#include "sound/SoundBank.h"
#include "test_files.h"

namespace {

constexpr int kPacks = 100;
constexpr int kSoundsPerPack = 100;

// Packs named so that the folder order and the sorted order differ; every
// pack has both pictures, as shipped packs do.
struct SoundsFolder {
  jptest::TempDir temp;
  std::wstring devicePath;

  explicit SoundsFolder(bool withPictures) {
    std::string sounds = temp / "app/Sounds";
    for (int p = 0; p < kPacks; ++p) {
      std::string pack = "Pack" + std::to_string((p * 37) % kPacks);
      std::string dir = sounds + "/" + pack;
      jptest::MakeDirs(dir);
      if (withPictures) {
        jptest::WritePngSolid(dir + "/" + pack + "B.png", 8, 8, 0x336699);
        jptest::WritePngSolid(dir + "/" + pack + "S.png", 4, 4, 0x996633);
      }
      for (int s = 0; s < kSoundsPerPack; ++s)
        jptest::WriteText(dir + "/sound" + std::to_string(s) + ".wav", "RIFF");
    }
    wce::DeviceConfig config;
    config.modulePath = temp / "app/Jostlepad.exe";
    wce::DeviceStart(config);
    devicePath = wce::PosixPathToDevice(sounds + "/");
  }
  ~SoundsFolder() { wce::DeviceStop(); }
};

void ScanAndSort(benchmark::State& state, bool withPictures) {
  SoundsFolder folder(withPictures);
  for (auto _ : state) {
    SoundBank bank;
    bank.Scan(folder.devicePath.c_str());
    bank.Sort(SoundBank::PackNameAscending);
    if (bank.Count() != kPacks * kSoundsPerPack) state.SkipWithError("scan missed sounds");
    benchmark::DoNotOptimize(bank.At(0));
  }
  state.counters["sounds"] = kPacks * kSoundsPerPack;
}

void BM_ScanSortWithPictures(benchmark::State& state) { ScanAndSort(state, true); }
void BM_ScanSortNoPictures(benchmark::State& state) { ScanAndSort(state, false); }

// The sort alone on 10,000 entries in scan-like order: the stable ascending
// path against the literal bubble sort the descending orders keep.
void FillBank(SoundBank& bank) {
  for (int i = 0; i < kPacks * kSoundsPerPack; ++i) {
    int pack = (i / kSoundsPerPack * 37) % kPacks;
    std::wstring packName = (i % 3 ? L"Pack" : L"pack") + std::to_wstring(pack);
    std::wstring file = L"sound" + std::to_wstring(i % kSoundsPerPack) + L".wav";
    bank.Add(packName.c_str(), file.c_str(), file.c_str(), NULL, NULL);
  }
}

void BM_SortAscending(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    SoundBank bank;
    FillBank(bank);
    state.ResumeTiming();
    bank.Sort(SoundBank::PackNameAscending);
    benchmark::DoNotOptimize(bank.At(0));
  }
}

void BM_SortDescendingBubble(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    SoundBank bank;
    FillBank(bank);
    state.ResumeTiming();
    bank.Sort(SoundBank::PackNameDescending);
    benchmark::DoNotOptimize(bank.At(0));
  }
}

}  // namespace

BENCHMARK(BM_ScanSortWithPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanSortNoPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortAscending)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortDescendingBubble)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
