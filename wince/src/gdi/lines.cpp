// Pens and lines: CreatePen, CreatePenIndirect, MoveToEx and LineTo. Lines
// are one pixel wide and solid, drawn by the platform's Bresenham walk with
// the end point left out.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "gdi/canvas.h"
#include "gdi/dc.h"
#include "gdi/lines.h"
#include "gdi/objects.h"
#include "gdi/rects.h"

namespace wce::gdi {
namespace {

using Wide = __int128;

Wide FloorDiv(Wide a, Wide b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Octants counted clockwise from +x with y down, as the platform counts them.
int Octant(int64_t dx, int64_t dy) {
  if (dy > 0) {
    if (dx > 0) return dx > dy ? 1 : 2;
    return -dx > dy ? 4 : 3;
  }
  if (dx < 0) return -dx > -dy ? 5 : 6;
  return dx > -dy ? 8 : 7;
}

}  // namespace

LineWalk::LineWalk(POINT from, POINT to) : from_(from) {
  const int64_t dx = int64_t{to.x} - from.x, dy = int64_t{to.y} - from.y;
  xMajor_ = std::llabs(dx) > std::llabs(dy);
  major_ = xMajor_ ? std::llabs(dx) : std::llabs(dy);
  minor_ = xMajor_ ? std::llabs(dy) : std::llabs(dx);
  xStep_ = dx < 0 ? -1 : 1;
  yStep_ = dy < 0 ? -1 : 1;
  const int octant = Octant(dx, dy);
  bias_ = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;  // how ties fall
}

int64_t LineWalk::MinorAt(int64_t k) const {
  // The walk keeps 0 >= 2k*minor - 2n*major + bias - major > -2*major, so the
  // minor step n after k major steps is ceil((2k*minor + bias - major) / 2*major).
  // Lines across the whole coordinate range need more than 64 bits here.
  Wide twice = 2 * Wide{k} * minor_ + bias_ - major_;
  return static_cast<int64_t>(-FloorDiv(-twice, 2 * Wide{major_}));
}

POINT LineWalk::PointAt(int64_t k) const {
  int64_t n = MinorAt(k);
  int64_t x = from_.x + (xMajor_ ? k : n) * xStep_, y = from_.y + (xMajor_ ? n : k) * yStep_;
  return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

void LineWalk::Walk(int64_t first, int64_t last, const std::function<void(int64_t x, int64_t y)>& plot) const {
  if (first >= last) return;
  int64_t n = MinorAt(first);
  // The error term of step `first`; it lies within (-2 major, 2 minor].
  int64_t err = static_cast<int64_t>(2 * Wide{minor_} - major_ + 2 * Wide{first} * minor_ - 2 * Wide{n} * major_);
  int64_t a = from_.x + (xMajor_ ? first * xStep_ : n * xStep_);
  int64_t b = from_.y + (xMajor_ ? n * yStep_ : first * yStep_);
  int64_t& along = xMajor_ ? a : b;
  int64_t& across = xMajor_ ? b : a;
  const int64_t alongStep = xMajor_ ? xStep_ : yStep_, acrossStep = xMajor_ ? yStep_ : xStep_;
  for (int64_t k = first; k < last; ++k) {
    plot(a, b);
    if (err + bias_ > 0) {
      across += acrossStep;
      err += 2 * minor_ - 2 * major_;
    } else {
      err += 2 * minor_;
    }
    along += alongStep;
  }
}

std::pair<int64_t, int64_t> LineWalk::StepsWithin(int64_t lo, int64_t hi) const {
  // Steps whose major coordinate lies in [lo, hi).
  const int64_t start = xMajor_ ? from_.x : from_.y, step = xMajor_ ? xStep_ : yStep_;
  int64_t a = step > 0 ? lo - start : start - (hi - 1);
  int64_t b = step > 0 ? hi - start : start - lo + 1;
  return {std::clamp<int64_t>(a, 0, major_), std::clamp<int64_t>(b, 0, major_)};
}

}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle != PS_SOLID && iStyle != PS_DASH && iStyle != PS_NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HPEN>(AddObject(Pen{static_cast<UINT>(iStyle), std::max(cWidth, 0), color & 0x00FFFFFF}));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(dc->lock);
  if (lppt) *lppt = dc->state.position;
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  DrawSession session(*dc);
  DCState& state = session.State();
  const POINT from = std::exchange(state.position, POINT{x, y});
  const Selected& selected = state.At(Slot::Pen);
  const Pen* pen = selected.object ? std::get_if<Pen>(&selected.object->payload) : nullptr;
  if (!pen || pen->style == PS_NULL) return TRUE;
  const Canvas& canvas = session.Target();
  if (!canvas.pixels || canvas.clip.empty()) return TRUE;
  uint32_t rgb = PixelFromColor(pen->color);
  if (canvas.mono) rgb = NearestMono(rgb);

  // Clip first: only the steps whose major coordinate lies on the canvas.
  LineWalk walk(from, POINT{x, y});
  auto [first, last] = walk.XMajor() ? walk.StepsWithin(-canvas.origin.x, int64_t{canvas.width} - canvas.origin.x)
                                     : walk.StepsWithin(-canvas.origin.y, int64_t{canvas.height} - canvas.origin.y);
  bool drew = false;
  walk.Walk(first, last, [&](int64_t px, int64_t py) {
    px += canvas.origin.x;
    py += canvas.origin.y;
    if (px < 0 || py < 0 || px >= canvas.width || py >= canvas.height) return;
    for (const RECT& r : canvas.clip) {
      if (!Contains(r, static_cast<LONG>(px), static_cast<LONG>(py))) continue;
      canvas.pixels[static_cast<size_t>(py) * canvas.width + static_cast<size_t>(px)] = rgb;
      drew = true;
      return;
    }
  });
  if (drew) session.Drew();
  return TRUE;
}

}  // extern "C"
