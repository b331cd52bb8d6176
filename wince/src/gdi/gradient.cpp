// GradientFill in its rectangle modes: the colour runs across (H) or down (V)
// a box between two vertices, with the platform's integer steps.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "gdi/canvas.h"
#include "gdi/dc.h"
#include "gdi/tools.h"

namespace wce::gdi {
namespace {

// Channel value at `pos` of `len` between two 16-bit channel values; the
// last pixel (pos = len - 1) never quite reaches c1.
uint32_t Channel(uint64_t c0, uint64_t c1, uint64_t pos, uint64_t len) {
  return static_cast<uint32_t>((c0 * (len - pos) + c1 * pos) / len / 256);
}

uint32_t ColorAt(const TRIVERTEX& a, const TRIVERTEX& b, uint64_t pos, uint64_t len) {
  return (Channel(a.Red, b.Red, pos, len) << 16) | (Channel(a.Green, b.Green, pos, len) << 8) |
         Channel(a.Blue, b.Blue, pos, len);
}

void FillBox(const Canvas& canvas, const TRIVERTEX& v0, const TRIVERTEX& v1, bool vertical) {
  // Vertices in order along the axis; the box runs from the first to the second.
  TRIVERTEX a = v0, b = v1;
  if (vertical ? a.y > b.y : a.x > b.x) std::swap(a, b);
  const int64_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
  const int64_t top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
  const uint64_t len = static_cast<uint64_t>(vertical ? bottom - top : right - left);
  std::vector<uint32_t> row;
  for (const RECT& clip : canvas.clip) {
    const int64_t x0 = std::max<int64_t>(clip.left, left + canvas.origin.x);
    const int64_t x1 = std::min<int64_t>(clip.right, right + canvas.origin.x);
    const int64_t y0 = std::max<int64_t>(clip.top, top + canvas.origin.y);
    const int64_t y1 = std::min<int64_t>(clip.bottom, bottom + canvas.origin.y);
    if (x0 >= x1 || y0 >= y1) continue;
    row.resize(static_cast<size_t>(x1 - x0));
    if (!vertical) {
      for (int64_t x = x0; x < x1; ++x)
        row[x - x0] = ColorAt(a, b, static_cast<uint64_t>(x - canvas.origin.x - left), len);
    }
    for (int64_t y = y0; y < y1; ++y) {
      if (vertical)
        std::fill(row.begin(), row.end(), ColorAt(a, b, static_cast<uint64_t>(y - canvas.origin.y - top), len));
      uint32_t* dest = canvas.pixels + static_cast<size_t>(y) * canvas.width + x0;
      if (canvas.mono)
        std::transform(row.begin(), row.end(), dest, NearestMono);
      else
        std::copy(row.begin(), row.end(), dest);
    }
  }
}

}  // namespace
}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

// Triangles are not drawn: the program fills rectangles only.
BOOL WINAPI GradientFill(HDC hdc, PTRIVERTEX pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh, ULONG ulMode) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!pVertex || !pMesh || (ulMode != GRADIENT_FILL_RECT_H && ulMode != GRADIENT_FILL_RECT_V)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* rects = static_cast<const GRADIENT_RECT*>(pMesh);
  for (ULONG i = 0; i < nMesh; ++i) {
    if (rects[i].UpperLeft >= nVertex || rects[i].LowerRight >= nVertex) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  DrawSession session(*dc);
  const Canvas& canvas = session.Target();
  if (!canvas.pixels) return TRUE;
  for (ULONG i = 0; i < nMesh; ++i)
    FillBox(canvas, pVertex[rects[i].UpperLeft], pVertex[rects[i].LowerRight], ulMode == GRADIENT_FILL_RECT_V);
  if (nMesh > 0) session.Drew();
  return TRUE;
}

}  // extern "C"
