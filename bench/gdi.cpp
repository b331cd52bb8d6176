// GDI's pixel work: a skin picture stretched through StretchBlt against SDL2's
// SDL_BlitScaled of the same pixels, a full-screen 1:1 copy, and a keyed and a
// blended button-sized picture.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A picture with some texture, 0x00RRGGBB, with magenta (the key) here and there.
std::vector<uint32_t> Picture(int w, int h) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[static_cast<size_t>(y) * w + x] =
          ((x + y) % 7 == 0) ? 0xFF00FF : static_cast<uint32_t>((x * 5) << 16 | (y * 3) << 8 | ((x ^ y) & 0xFF));
  return pixels;
}

// A memory DC holding a 32-bit bitmap with `pixels` (or black).
struct MemoryPicture {
  MemoryPicture(int w, int h, const std::vector<uint32_t>* pixels = nullptr) {
    bitmap = CreateBitmap(w, h, 1, 32, pixels ? pixels->data() : nullptr);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
  }
  ~MemoryPicture() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ old;
};

void StretchArgs(benchmark::internal::Benchmark* b) {
  b->Args({160, 160, 480, 108})->Args({48, 48, 480, 640});
}

void BM_StretchBlt(benchmark::State& state) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  std::vector<uint32_t> pixels = Picture(sw, sh);
  MemoryPicture source(sw, sh, &pixels), target(dw, dh);
  // The target's default stretch mode, as the program leaves it.
  for (auto _ : state) benchmark::DoNotOptimize(StretchBlt(target.dc, 0, 0, dw, dh, source.dc, 0, 0, sw, sh, SRCCOPY));
  state.SetItemsProcessed(state.iterations() * dw * dh);
}
BENCHMARK(BM_StretchBlt)->Apply(StretchArgs);

void BM_StretchBltColorOnColor(benchmark::State& state) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  std::vector<uint32_t> pixels = Picture(sw, sh);
  MemoryPicture source(sw, sh, &pixels), target(dw, dh);
  SetStretchBltMode(target.dc, COLORONCOLOR);
  for (auto _ : state) benchmark::DoNotOptimize(StretchBlt(target.dc, 0, 0, dw, dh, source.dc, 0, 0, sw, sh, SRCCOPY));
  state.SetItemsProcessed(state.iterations() * dw * dh);
}
BENCHMARK(BM_StretchBltColorOnColor)->Apply(StretchArgs);

void BM_SdlBlitScaled(benchmark::State& state) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  std::vector<uint32_t> pixels = Picture(sw, sh);
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, sw, sh, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, dw, dh, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!source || !target) {
    state.SkipWithError("SDL surfaces");
    return;
  }
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x)
      static_cast<uint32_t*>(source->pixels)[static_cast<size_t>(y) * (source->pitch / 4) + x] =
          0xFF000000u | pixels[static_cast<size_t>(y) * sw + x];
  SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
  SDL_Rect whole{0, 0, dw, dh};
  for (auto _ : state) benchmark::DoNotOptimize(SDL_BlitScaled(source, nullptr, target, &whole));
  state.SetItemsProcessed(state.iterations() * dw * dh);
  SDL_FreeSurface(source);
  SDL_FreeSurface(target);
}
BENCHMARK(BM_SdlBlitScaled)->Apply(StretchArgs);

void BM_BitBltScreenSized(benchmark::State& state) {
  std::vector<uint32_t> pixels = Picture(480, 640);
  MemoryPicture source(480, 640, &pixels), target(480, 640);
  for (auto _ : state) benchmark::DoNotOptimize(BitBlt(target.dc, 0, 0, 480, 640, source.dc, 0, 0, SRCCOPY));
  state.SetItemsProcessed(state.iterations() * 480 * 640);
}
BENCHMARK(BM_BitBltScreenSized);

void BM_TransparentImageButton(benchmark::State& state) {
  std::vector<uint32_t> pixels = Picture(96, 96);
  MemoryPicture source(96, 96, &pixels), target(480, 640);
  for (auto _ : state)
    benchmark::DoNotOptimize(TransparentImage(target.dc, 100, 100, 96, 96, source.dc, 0, 0, 96, 96, RGB(255, 0, 255)));
  state.SetItemsProcessed(state.iterations() * 96 * 96);
}
BENCHMARK(BM_TransparentImageButton);

void BM_AlphaBlendButton(benchmark::State& state) {
  std::vector<uint32_t> pixels = Picture(96, 96);
  MemoryPicture source(96, 96, &pixels), target(480, 640);
  const BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  for (auto _ : state)
    benchmark::DoNotOptimize(AlphaBlend(target.dc, 100, 100, 96, 96, source.dc, 0, 0, 96, 96, half));
  state.SetItemsProcessed(state.iterations() * 96 * 96);
}
BENCHMARK(BM_AlphaBlendButton);

}  // namespace

BENCHMARK_MAIN();
