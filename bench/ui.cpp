// The program's drawing on a 480 x 640, 192-dpi device: one masked, centred
// button picture, the whole splash composed into a back buffer, and one page
// transition frame beside the plain screen copy it should stay close to.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "bench_device.h"

#include "app/TransitionFrame.h"
#include "splash/SplashScreen.h"
#include "ui/core/DrawingPrimitives.h"

namespace {

using jpbench::Buffer;
using jpbench::Device;
using jpbench::kHeight;
using jpbench::kWidth;

void BM_MaskedCenteredButton(benchmark::State& state) {
  Device device;
  if (!device.Started()) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(20, 20, 20));
  Buffer image(device.Screen(), 160, 108, RGB(200, 120, 0));
  Buffer mask(device.Screen(), 160, 108, RGB(0, 0, 0));
  HBITMAP imageBitmap = image.Detach();
  HBITMAP maskBitmap = mask.Detach();
  const RECT cell = {80, 100, 240, 208};
  for (auto _ : state) DrawMaskedCentered(back.Dc(), &cell, imageBitmap, maskBitmap);
}

void BM_SplashCompose(benchmark::State& state) {
  Device device;
  if (!device.Started()) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(0, 0, 0));
  Buffer picture(device.Screen(), 480, 480, RGB(90, 60, 10));
  SplashScreen splash;
  splash.SetPicture(picture.Detach());
  splash.SetText(L"Apply TouchUI Data...");
  splash.SetPercent(80);
  const RECT client = {0, 0, kWidth, kHeight};
  for (auto _ : state) splash.Compose(back.Dc(), &client, 255);
}

void BM_TransitionFrame(benchmark::State& state) {
  Device device;
  if (!device.Started()) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(0, 0, 0));
  Buffer from(device.Screen(), kWidth, kHeight, RGB(10, 20, 30));
  Buffer to(device.Screen(), kWidth, kHeight, RGB(40, 50, 60));
  for (auto _ : state) DrawTransitionCopies(back.Dc(), from.Dc(), to.Dc(), 1, 0.37, kWidth, kHeight);
}

// What a transition frame is measured against: one copy of the whole screen.
void BM_PlainScreenCopy(benchmark::State& state) {
  Device device;
  if (!device.Started()) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(0, 0, 0));
  Buffer from(device.Screen(), kWidth, kHeight, RGB(10, 20, 30));
  for (auto _ : state) BitBlt(back.Dc(), 0, 0, kWidth, kHeight, from.Dc(), 0, 0, SRCCOPY);
}

}  // namespace

BENCHMARK(BM_MaskedCenteredButton)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SplashCompose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransitionFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainScreenCopy)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
