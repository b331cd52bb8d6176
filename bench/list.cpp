// One glide step of the sound browser's list, as the glide timer runs it:
// 11 ms of device time, GlideStep, then the list's paint into the back
// buffer. A list of 10,000 rows against one of 10 (only the rows in view are
// drawn, so the two should cost the same), beside a plain 480 x 640 frame copy.
#include <benchmark/benchmark.h>

#include <windows.h>

#include "bench_device.h"

#include "device/device.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/DisplayScale.h"

namespace {

using jpbench::Buffer;
using jpbench::Device;
using jpbench::kHeight;
using jpbench::kWidth;

const UINT_PTR kGlideTimer = 4;

HFONT NewFont(int height) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  font.lfQuality = CLEARTYPE_QUALITY;
  wcscpy_s(font.lfFaceName, LF_FACESIZE, L"HelveticaNeue LT 35 Thin");
  return CreateFontIndirectW(&font);
}

// Pen down, 200 pixels in 100 ms, pen up: 2 pixels a millisecond, towards
// the far end from where the content rests, then the owner's StartGlide.
void Flick(ScrollList& list, HWND window) {
  int x = list.GetLeft() + 100;
  int y = list.GetTop() + list.GetHeight() / 2;
  int middle = (list.GetContentHeight() - list.GetHeight()) / 2;
  int distance = list.GetScrollOffset() < middle ? -200 : 200;
  list.PenDown(window, 0, x, y);
  list.StopGlide(window, kGlideTimer);
  Sleep(100);
  list.PenMove(window, 0, x, y + distance);
  list.PenUp(window, 0, x, y + distance);
  list.StartGlide(window, kGlideTimer, 11, NULL);
}

void BM_GlideStep(benchmark::State& state) {
  Device device(L"ListBench");
  if (!device.Started() || device.Window() == NULL) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(0, 0, 0));
  Buffer icon(device.Screen(), 64, 64, RGB(200, 120, 0));
  Buffer separator(device.Screen(), 480, 2, RGB(90, 90, 90));
  Buffer selected(device.Screen(), 16, 80, RGB(40, 80, 160));
  HBITMAP iconBitmap = icon.Detach();
  HFONT firstFont = NewFont(ScaleY(16));
  HFONT secondFont = NewFont(ScaleY(14));

  // Placed and dressed as on the sound browser page.
  ScrollList list(NULL, device.Window(), 64);
  list.SetBounds(0, ScaleY(26), ScaleX(240), kHeight - ScaleY(54) - ScaleY(26));
  list.SetFirstLineFont(firstFont).SetSecondLineFont(secondFont).SetBackgroundColor(0);
  list.SetSeparatorStyle(ScrollList::SeparatorImage).SetSeparatorImage(separator.Detach());
  list.SetSelectionStyle(ScrollList::SelectionTiled).SetSelectionImage(selected.Detach());
  ListItem item{};
  wcscpy_s(item.firstLine, kListTextLength, L"Drums and Percussion");
  item.icon = iconBitmap;
  for (int64_t i = 0; i < state.range(0); ++i) {
    swprintf(item.secondLine, kListTextLength, L"Sample number %05d.wav", static_cast<int>(i));
    list.AddItem(item);
  }
  list.SetSelection(static_cast<int>(state.range(0) / 2));

  int64_t flicks = 0;
  uint64_t textsBefore = 0;
  uint64_t textsAfter = 0;
  for (auto _ : state) {
    if (!list.IsGliding()) {
      state.PauseTiming();
      Flick(list, device.Window());
      ++flicks;
      state.ResumeTiming();
    }
    Sleep(11);
    list.GlideStep(device.Window(), kGlideTimer);
    textsBefore = wce::TextDrawCount();
    list.PaintIfVisible(back.Dc());
    textsAfter = wce::TextDrawCount();
  }
  // Two lines of text per row: the rows the last paint drew.
  state.counters["rows_painted"] = static_cast<double>(textsAfter - textsBefore) / 2;
  state.counters["flicks"] = static_cast<double>(flicks);
  DeleteObject(firstFont);
  DeleteObject(secondFont);
}

// What a glide step is measured against: one copy of the whole screen.
void BM_FrameCopy(benchmark::State& state) {
  Device device(L"ListBench");
  if (!device.Started() || device.Window() == NULL) return state.SkipWithError("no device");
  Buffer back(device.Screen(), kWidth, kHeight, RGB(0, 0, 0));
  Buffer frame(device.Screen(), kWidth, kHeight, RGB(10, 20, 30));
  for (auto _ : state) BitBlt(back.Dc(), 0, 0, kWidth, kHeight, frame.Dc(), 0, 0, SRCCOPY);
}

}  // namespace

BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlideStep)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
