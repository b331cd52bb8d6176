// The reference path: every destination pixel worked out on its own from the
// platform's rules, with no tables and no clipping ahead. Slow, and meant to
// be: tests hold the fast path against it.
#include <algorithm>
#include <vector>

#include "gdi/blit.h"
#include "gdi/rects.h"

namespace wce::gdi {
namespace {

using Wide = __int128;

// Source indexes [0, sourceLength) that land on destination index i.
// Enlarging (or equal): i takes ((2i+1)S - 1) / 2D. Shrinking: source j lands
// on ((2j+1)D - 1) / 2S; with a merge every such j counts, else one: the last
// along a row (`keepLast`), the first down a column.
std::vector<int64_t> SourcesOf(int64_t i, int64_t d, int64_t s, bool merge, bool keepLast) {
  if (d >= s) return {static_cast<int64_t>(((2 * Wide{i} + 1) * s - 1) / (2 * Wide{d}))};
  std::vector<int64_t> found;
  // Only sources near i * S / D can land on i; look a little either side.
  int64_t from = static_cast<int64_t>(Wide{i} * s / d) - 2, to = static_cast<int64_t>(Wide{i + 1} * s / d) + 2;
  for (int64_t j = std::max<int64_t>(from, 0); j < std::min(to, s); ++j)
    if (((2 * Wide{j} + 1) * d - 1) / (2 * Wide{s}) == i) found.push_back(j);
  if (!merge && found.size() > 1) found = {keepLast ? found.back() : found.front()};
  return found;
}

struct Line {
  int64_t start, length, sourceStart, sourceLength;
  bool mirrored;
};

Line Resolve(const CopyAxis& a) {
  Line l{a.at, a.extent, a.sourceAt, a.sourceExtent, (a.extent < 0) != (a.sourceExtent < 0)};
  // A negative extent includes its origin: [at + extent + 1, at + 1).
  if (l.length < 0) l = Line{l.start + l.length + 1, -l.length, l.sourceStart, l.sourceLength, l.mirrored};
  if (l.sourceLength < 0)
    l = Line{l.start, l.length, l.sourceStart + l.sourceLength + 1, -l.sourceLength, l.mirrored};
  return l;
}

bool InClip(const Canvas& canvas, int x, int y) {
  for (const RECT& r : canvas.clip)
    if (Contains(r, x, y)) return true;
  return false;
}

int64_t Modulo(int64_t v, int64_t m) { return ((v % m) + m) % m; }

uint32_t PatternPixel(const CopyCall& call, bool targetMono, int64_t x, int64_t y) {
  const Brush& brush = *call.brush;
  if (brush.style != BS_PATTERN) {
    uint32_t rgb = PixelFromColor(brush.color);
    return targetMono ? NearestMono(rgb) : rgb;
  }
  const Bitmap& p = *brush.pattern;
  uint32_t v = p.At(static_cast<int>(Modulo(x - call.brushOrigin.x, p.width)),
                    static_cast<int>(Modulo(y - call.brushOrigin.y, p.height)));
  if (p.Mono() && !targetMono) return v ? call.colors.background : call.colors.text;
  return targetMono ? NearestMono(v) : v;
}

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

size_t ReferenceCopy(const Canvas& target, const Canvas* source, const CopyCall& call) {
  const CopyParams& params = call.params;
  const bool readsSource = params.kind != SpanKind::Raster || params.op.usesSource;
  const bool usesPattern = params.kind == SpanKind::Raster && params.op.usesPattern;
  if (!target.pixels || (readsSource && (!source || !source->pixels)) || (usesPattern && !call.brush)) return 0;
  std::vector<uint32_t> before;  // the source as it was, whatever the call writes
  if (readsSource) before.assign(source->pixels, source->pixels + static_cast<size_t>(source->width) * source->height);
  const Line lx = Resolve(call.x), ly = Resolve(call.y);
  const bool merge = params.stretchMode == BLACKONWHITE || params.stretchMode == WHITEONBLACK;

  size_t written = 0;
  for (int cy = 0; cy < target.height; ++cy) {
    for (int cx = 0; cx < target.width; ++cx) {
      if (!InClip(target, cx, cy)) continue;
      const int64_t x = int64_t{cx} - target.origin.x, y = int64_t{cy} - target.origin.y;
      if (x < lx.start || x >= lx.start + lx.length || y < ly.start || y >= ly.start + ly.length) continue;

      uint32_t s = 0;
      if (readsSource) {
        if (lx.sourceLength == 0 || ly.sourceLength == 0) continue;
        int64_t i = lx.mirrored ? lx.start + lx.length - 1 - x : x - lx.start;
        int64_t k = ly.mirrored ? ly.start + ly.length - 1 - y : y - ly.start;
        std::vector<int64_t> xs = SourcesOf(i, lx.length, lx.sourceLength, merge, true);
        std::vector<int64_t> ys = SourcesOf(k, ly.length, ly.sourceLength, merge, false);
        bool readable = !xs.empty() && !ys.empty();
        bool first = true;
        for (int64_t sj : ys) {
          for (int64_t si : xs) {
            int64_t px = lx.sourceStart + si + source->origin.x, py = ly.sourceStart + sj + source->origin.y;
            if (px < source->readable.left || px >= source->readable.right || py < source->readable.top ||
                py >= source->readable.bottom) {
              readable = false;
              continue;
            }
            uint32_t v = ConvertPixel(before[static_cast<size_t>(py) * source->width + static_cast<size_t>(px)],
                                      source->mono, target.mono, call.colors);
            if (first) s = v;
            else s = params.stretchMode == WHITEONBLACK ? (s | v) : (s & v);
            first = false;
          }
        }
        if (!readable) continue;
      }

      uint32_t& d = target.pixels[static_cast<size_t>(cy) * target.width + static_cast<size_t>(cx)];
      switch (params.kind) {
        case SpanKind::Raster:
          d = Rop3(params.op.code, usesPattern ? PatternPixel(call, target.mono, x, y) : 0, s, d);
          break;
        case SpanKind::Keyed:
          if (s != params.key) d = s;
          break;
        case SpanKind::Blend: {
          const uint32_t a = params.alpha;
          uint32_t r = (Channel(s, 16) * a + Channel(d, 16) * (255 - a) + 127) / 255;
          uint32_t g = (Channel(s, 8) * a + Channel(d, 8) * (255 - a) + 127) / 255;
          uint32_t b = (Channel(s, 0) * a + Channel(d, 0) * (255 - a) + 127) / 255;
          d = (r << 16) | (g << 8) | b;
          if (target.mono) d = NearestMono(d);
          break;
        }
      }
      ++written;
    }
  }
  return written;
}

}  // namespace wce::gdi
