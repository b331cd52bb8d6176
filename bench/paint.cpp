// One full paint at 480 x 640, as the main window does it: clear the back
// buffer to black, then copy it to the window DC.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "device/device.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void BM_FullPaint(benchmark::State& state) {
  struct Device {
    Device() : started(wce::DeviceStart(wce::DeviceConfig{})) {}
    ~Device() { wce::DeviceStop(); }
    bool started;
  } device;
  wce::SetScreenSize(480, 640);
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = L"PaintBench";
  HWND hwnd = nullptr;
  if (device.started && RegisterClassW(&wc))
    hwnd = CreateWindowExW(0, L"PaintBench", L"bench", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr,
                           nullptr);
  if (!hwnd) {
    state.SkipWithError("no window on this device");
    return;
  }
  HDC reference = GetDC(hwnd);
  HDC back = CreateCompatibleDC(reference);
  HBITMAP bitmap = CreateCompatibleBitmap(reference, 480, 640);
  HGDIOBJ old = SelectObject(back, bitmap);
  ReleaseDC(hwnd, reference);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT all{0, 0, 480, 640};

  for (auto _ : state) {
    FillRect(back, &all, black);
    HDC dc = GetDC(hwnd);
    BitBlt(dc, 0, 0, 480, 640, back, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);

  SelectObject(back, old);
  DeleteObject(bitmap);
  DeleteDC(back);
  DestroyWindow(hwnd);
}

}  // namespace

BENCHMARK(BM_FullPaint)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
