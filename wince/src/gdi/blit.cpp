#include "gdi/blit.h"

#include <algorithm>

#include "gdi/rects.h"

namespace wce::gdi {

// Solid brushes only so far: the origin matters once brushes have patterns.
PatternRows::PatternRows(const Brush& brush, POINT) : rgb_(PixelFromColor(brush.color)) {}

const uint32_t* PatternRows::Row(int, int, int n) {
  if (static_cast<int>(row_.size()) < n) row_.assign(n, rgb_);
  return row_.data();
}

namespace {

// Where source pixels come from: the canvas itself, or a copy of the part the
// call reads when source and target share pixels.
struct SourceRows {
  const uint32_t* pixels = nullptr;
  int stride = 0;
  POINT shift{0, 0};  // source pixel = target pixel + shift
  std::vector<uint32_t> copy;

  const uint32_t* At(int x, int y) const {
    return pixels + static_cast<size_t>(y + shift.y) * stride + (x + shift.x);
  }
};

void Snapshot(SourceRows& rows, const RECT& targetPart) {
  RECT read = Offset(targetPart, rows.shift.x, rows.shift.y);
  int w = read.right - read.left, h = read.bottom - read.top;
  rows.copy.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const uint32_t* from = rows.pixels + static_cast<size_t>(read.top + y) * rows.stride + read.left;
    std::copy(from, from + w, rows.copy.begin() + static_cast<ptrdiff_t>(y) * w);
  }
  rows.pixels = rows.copy.data();
  rows.stride = w;
  rows.shift = POINT{-targetPart.left, -targetPart.top};
}

}  // namespace

size_t Blit(const Canvas& target, const RECT& rect, const Canvas* source, POINT sourceAt, const RasterOp& op,
            PatternRows* pattern) {
  if (!target.pixels || target.clip.empty() || Empty(rect)) return 0;
  RECT area = Offset(rect, target.origin.x, target.origin.y);
  SourceRows rows;
  if (op.usesSource) {
    if (!source || !source->pixels) return 0;
    rows.pixels = source->pixels;
    rows.stride = source->width;
    rows.shift = POINT{sourceAt.x + source->origin.x - area.left, sourceAt.y + source->origin.y - area.top};
    // Target pixels whose source lies outside what can be read stay as they are.
    area = Intersect(area, Offset(source->readable, -rows.shift.x, -rows.shift.y));
    if (Empty(area)) return 0;
    bool overlaps = !Empty(Intersect(area, Offset(area, rows.shift.x, rows.shift.y)));
    if (source->pixels == target.pixels && overlaps) Snapshot(rows, area);
  }
  size_t changed = 0;
  for (const RECT& clip : target.clip) {
    RECT part = Intersect(area, clip);
    if (Empty(part)) continue;
    int n = part.right - part.left;
    for (int y = part.top; y < part.bottom; ++y) {
      uint32_t* dest = target.pixels + static_cast<size_t>(y) * target.width + part.left;
      const uint32_t* src = op.usesSource ? rows.At(part.left, y) : nullptr;
      const uint32_t* pat =
          op.usesPattern ? pattern->Row(part.left - target.origin.x, y - target.origin.y, n) : nullptr;
      op.row(op.code, dest, src, pat, n);
    }
    changed += static_cast<size_t>(n) * (part.bottom - part.top);
  }
  return changed;
}

}  // namespace wce::gdi
