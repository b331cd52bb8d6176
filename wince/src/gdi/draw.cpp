// Drawing on DCs: raster copies, fills and single pixels.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "gdi/blit.h"
#include "gdi/canvas.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/raster_ops.h"
#include "gdi/rects.h"

namespace wce::gdi {
namespace {

struct Area {
  RECT rect{};       // DC coordinates, left/top inclusive
  POINT sourceAt{};  // the source's pixel for rect's top-left
};

// One axis: [at, at + extent) with its source position, negative extents
// turned round, cut to the coordinate range. False when nothing is left, or
// when a source is read from so far out that nothing there can be read.
bool TrimAxis(int64_t at, int64_t extent, int64_t sourceAt, bool readsSource, LONG& from, LONG& to,
              LONG& source) {
  if (extent < 0) {
    at += extent;
    sourceAt += extent;
    extent = -extent;
  }
  const int64_t limit = kCoordLimit;
  int64_t lo = std::max(at, -limit), hi = std::min(at + extent, limit);
  sourceAt += lo - at;
  if (lo >= hi) return false;
  if (!readsSource) sourceAt = 0;
  if (sourceAt < -limit || sourceAt > limit) return false;
  from = static_cast<LONG>(lo);
  to = static_cast<LONG>(hi);
  source = static_cast<LONG>(sourceAt);
  return true;
}

std::optional<Area> MakeArea(int64_t x, int64_t y, int64_t cx, int64_t cy, const RasterOp& op, int sx = 0,
                             int sy = 0) {
  Area a;
  if (!TrimAxis(x, cx, sx, op.usesSource, a.rect.left, a.rect.right, a.sourceAt.x)) return std::nullopt;
  if (!TrimAxis(y, cy, sy, op.usesSource, a.rect.top, a.rect.bottom, a.sourceAt.y)) return std::nullopt;
  return a;
}

const Brush* BrushOf(const std::shared_ptr<GdiObject>& object) {
  return object ? std::get_if<Brush>(&object->payload) : nullptr;
}

// One raster operation over an area of the session's target. Operations
// with a pattern and no brush to give one draw nothing, as with the null brush.
void Run(DrawSession& session, const Area& area, const RasterOp& op, const Brush* brush) {
  std::optional<PatternRows> pattern;
  if (op.usesPattern) {
    if (!brush || brush->DrawsNothing()) return;
    pattern.emplace(*brush, session.State().brushOrigin);
  }
  if (Blit(session.Target(), area.rect, session.Source(), area.sourceAt, op, pattern ? &*pattern : nullptr))
    session.Drew();
}

std::shared_ptr<DeviceContext> DCOrFail(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

// The canvas pixel for DC point (x, y), or null outside `limits`.
uint32_t* PixelAt(const Canvas& canvas, const std::vector<RECT>& limits, int x, int y) {
  int64_t px = int64_t{x} + canvas.origin.x, py = int64_t{y} + canvas.origin.y;
  if (px < 0 || py < 0 || px >= canvas.width || py >= canvas.height) return nullptr;
  for (const RECT& r : limits)
    if (Contains(r, static_cast<LONG>(px), static_cast<LONG>(py)))
      return canvas.pixels + static_cast<size_t>(py) * canvas.width + px;
  return nullptr;
}

}  // namespace
}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdc);
  if (!dc) return FALSE;
  RasterOp op = FindRasterOp(rop);
  std::shared_ptr<DeviceContext> source;
  if (op.usesSource && !(source = DCOrFail(hdcSrc))) return FALSE;  // ignored when not needed
  std::optional<Area> area = MakeArea(x, y, cx, cy, op, x1, y1);
  if (!area) return TRUE;
  DrawSession session(*dc, source.get());
  Run(session, *area, op, session.State().CurrentBrush());
  return TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdc);
  if (!dc) return FALSE;
  RasterOp op = FindRasterOp(rop);
  if (op.usesSource) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::optional<Area> area = MakeArea(x, y, w, h, op);
  if (!area) return TRUE;
  DrawSession session(*dc);
  Run(session, *area, op, session.State().CurrentBrush());
  return TRUE;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hDC);
  if (!dc) return 0;
  // A system colour number (COLOR_x + 1) in place of a brush is not supported.
  std::shared_ptr<GdiObject> brush = FindObject(hbr);
  if (!lprc || !BrushOf(brush)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int64_t width = int64_t{lprc->right} - lprc->left, height = int64_t{lprc->bottom} - lprc->top;
  if (width <= 0 || height <= 0) return 1;  // an upside-down rectangle covers nothing
  RasterOp op = FindRasterOp(PATCOPY);
  std::optional<Area> area = MakeArea(lprc->left, lprc->top, width, height, op);
  if (!area) return 1;
  DrawSession session(*dc);
  Run(session, *area, op, BrushOf(brush));
  return 1;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdc);
  if (!dc) return CLR_INVALID;
  DrawSession session(*dc);
  const Canvas& canvas = session.Target();
  // Only where the DC could draw, except that the stock bitmap reads too.
  std::vector<RECT> limits = canvas.clip;
  if (dc->kind == DCKind::Memory) limits = {canvas.readable};
  uint32_t* pixel = PixelAt(canvas, limits, x, y);
  return pixel ? ColorFromPixel(*pixel & kRgbMask) : CLR_INVALID;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdc);
  if (!dc) return CLR_INVALID;
  DrawSession session(*dc);
  uint32_t* pixel = PixelAt(session.Target(), session.Target().clip, x, y);
  if (!pixel) return CLR_INVALID;
  *pixel = PixelFromColor(color);
  session.Drew();
  return color & 0x00FFFFFF;
}

}  // extern "C"
