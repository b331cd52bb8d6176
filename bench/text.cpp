// One status line, "Loading SoundBank...", drawn into a 480 x 60 memory DC
// with the skin's font at its 192-dpi cell heights (28, 32, 36): the first
// draw with a new font (glyphs rendered), later draws (glyphs from the
// cache), and making the font.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cwchar>

#include "device/device.h"
#include "gdi/font_face.h"

namespace {

constexpr wchar_t kLine[] = L"Loading SoundBank...";
constexpr UINT kFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;

LOGFONTW SkinFont(LONG height) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_MEDIUM;
  lf.lfCharSet = EASTEUROPE_CHARSET;
  lf.lfOutPrecision = OUT_RASTER_PRECIS;
  lf.lfQuality = CLEARTYPE_QUALITY;
  std::wcsncpy(lf.lfFaceName, L"HelveticaNeue LT 35 Thin", LF_FACESIZE);
  return lf;
}

// A started device and a 480 x 60 memory DC with a bitmap.
struct Bench {
  Bench() : started(wce::DeviceStart(wce::DeviceConfig{})) {
    wce::SetScreenDpi(192, 192);
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, 480, 60);
    old = SelectObject(dc, bitmap);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
  }
  ~Bench() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    wce::DeviceStop();
  }
  void Draw() {
    RECT rect{0, 0, 480, 60};
    DrawTextW(dc, kLine, -1, &rect, kFormat);
  }
  bool started;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
};

void ReportGlyphs(benchmark::State& state, uint64_t before) {
  state.counters["glyphs/draw"] = static_cast<double>(wce::gdi::RenderedGlyphCount() - before) /
                                  static_cast<double>(std::max<int64_t>(state.iterations(), 1));
}

// A fresh font each time: its face is new, so every glyph is rendered.
// Only the draw is timed.
void BM_FirstDraw(benchmark::State& state) {
  Bench bench;
  LOGFONTW lf = SkinFont(static_cast<LONG>(state.range(0)));
  uint64_t before = wce::gdi::RenderedGlyphCount();
  for (auto _ : state) {
    state.PauseTiming();
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ previous = SelectObject(bench.dc, font);
    state.ResumeTiming();
    bench.Draw();
    state.PauseTiming();
    SelectObject(bench.dc, previous);
    DeleteObject(font);  // the last user of the face: the next font starts afresh
    state.ResumeTiming();
  }
  ReportGlyphs(state, before);
}

void BM_CachedDraw(benchmark::State& state) {
  Bench bench;
  LOGFONTW lf = SkinFont(static_cast<LONG>(state.range(0)));
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ previous = SelectObject(bench.dc, font);
  bench.Draw();
  uint64_t before = wce::gdi::RenderedGlyphCount();
  for (auto _ : state) bench.Draw();
  ReportGlyphs(state, before);
  SelectObject(bench.dc, previous);
  DeleteObject(font);
}

// fontconfig's match and the sized face; the file itself is read once.
void BM_CreateFont(benchmark::State& state) {
  Bench bench;
  LOGFONTW lf = SkinFont(32);
  for (auto _ : state) {
    HFONT font = CreateFontIndirectW(&lf);
    benchmark::DoNotOptimize(font);
    DeleteObject(font);
  }
}

}  // namespace

BENCHMARK(BM_FirstDraw)->Arg(28)->Arg(32)->Arg(36)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CachedDraw)->Arg(28)->Arg(32)->Arg(36)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateFont)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
