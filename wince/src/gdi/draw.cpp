// Drawing on DCs: raster copies, stretched, keyed and blended copies, fills
// and single pixels.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "gdi/blit.h"
#include "gdi/canvas.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/raster_ops.h"
#include "gdi/rects.h"
#include "gdi/stock.h"

namespace wce::gdi {
namespace {

const Brush* BrushOf(const std::shared_ptr<GdiObject>& object) {
  return object ? std::get_if<Brush>(&object->payload) : nullptr;
}

std::shared_ptr<DeviceContext> DCOrFail(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

EdgeColors ColorsOf(const DCState& target, const DCState* source) {
  EdgeColors colors;
  colors.text = PixelFromColor(target.textColor);
  colors.background = PixelFromColor(target.bkColor);
  if (source) colors.sourceBackground = PixelFromColor(source->bkColor);
  return colors;
}

// One copy on the session's target. Operations with a pattern and no brush
// to give one draw nothing, as with the null brush.
void Run(DrawSession& session, CopyCall call, const Brush* brush) {
  if (call.params.kind == SpanKind::Raster && call.params.op.usesPattern) {
    if (!brush || brush->DrawsNothing()) return;
    call.brush = brush;
    call.brushOrigin = session.State().brushOrigin;
  }
  call.colors = ColorsOf(session.State(), session.SourceState());
  if (Copy(session.Target(), session.Source(), call)) session.Drew();
}

CopyCall RasterCall(DWORD rop, int x, int y, int cx, int cy, int sx, int sy, int scx, int scy) {
  CopyCall call;
  call.x = CopyAxis{x, cx, sx, scx};
  call.y = CopyAxis{y, cy, sy, scy};
  call.params.op = FindRasterOp(rop);
  return call;
}

// A rectangle of the source DC in its own coordinates lies where it can be read.
bool Readable(const Canvas& source, int x, int y, int cx, int cy) {
  RECT inDC = Offset(source.readable, -source.origin.x, -source.origin.y);
  return int64_t{x} >= inDC.left && int64_t{y} >= inDC.top && int64_t{x} + cx <= inDC.right &&
         int64_t{y} + cy <= inDC.bottom;
}

bool Overlap(int ax, int ay, int acx, int acy, int bx, int by, int bcx, int bcy) {
  return int64_t{ax} < int64_t{bx} + bcx && int64_t{bx} < int64_t{ax} + acx && int64_t{ay} < int64_t{by} + bcy &&
         int64_t{by} < int64_t{ay} + acy;
}

// TransparentImage's source: a DC, or a bitmap selected nowhere, which is
// held in a DC of our own for the length of the call so no one selects it
// meanwhile.
class ImageSource {
 public:
  explicit ImageSource(HANDLE handle) {
    dc_ = FindDC(static_cast<HDC>(handle));
    if (dc_ || !FindBitmap(handle)) return;
    own_ = NewDC(DCKind::Memory);
    std::shared_ptr<DeviceContext> own = FindDC(own_);
    if (own && Select(*own, handle)) dc_ = std::move(own);
  }
  ~ImageSource() {
    if (own_) RemoveDC(own_);
  }
  ImageSource(const ImageSource&) = delete;
  ImageSource& operator=(const ImageSource&) = delete;

  DeviceContext* Get() const { return dc_.get(); }

 private:
  HDC own_ = nullptr;
  std::shared_ptr<DeviceContext> dc_;
};

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
  CopyCall call = RasterCall(rop, x, y, cx, cy, x1, y1, cx, cy);
  std::shared_ptr<DeviceContext> source;
  if (call.params.op.usesSource && !(source = DCOrFail(hdcSrc))) return FALSE;  // ignored when not needed
  DrawSession session(*dc, source.get());
  Run(session, call, session.State().CurrentBrush());
  return TRUE;
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdcDest);
  if (!dc) return FALSE;
  CopyCall call = RasterCall(rop, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc);
  std::shared_ptr<DeviceContext> source;
  if (call.params.op.usesSource) {
    if (!(source = DCOrFail(hdcSrc))) return FALSE;
  } else {
    call.x.sourceExtent = wDest;  // a fill of the destination, as PatBlt
    call.y.sourceExtent = hDest;
  }
  DrawSession session(*dc, source.get());
  call.params.stretchMode = session.State().stretchMode;
  Run(session, call, session.State().CurrentBrush());
  return TRUE;
}

BOOL WINAPI TransparentImage(HDC hdcDest, int DstX, int DstY, int DstCx, int DstCy, HANDLE hSrc, int SrcX,
                             int SrcY, int SrcCx, int SrcCy, COLORREF TransparentColor) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdcDest);
  if (!dc) return FALSE;
  if (DstCx < 0 || DstCy < 0 || SrcCx < 0 || SrcCy < 0) return Fail(ERROR_INVALID_PARAMETER);
  ImageSource source(hSrc);
  if (!source.Get()) return Fail(ERROR_INVALID_HANDLE);
  CopyCall call;
  call.x = CopyAxis{DstX, DstCx, SrcX, SrcCx};
  call.y = CopyAxis{DstY, DstCy, SrcY, SrcCy};
  call.params.kind = SpanKind::Keyed;
  call.params.stretchMode = COLORONCOLOR;
  DrawSession session(*dc, source.Get());
  // The key meets the source after it took the destination's format.
  uint32_t key = PixelFromColor(TransparentColor);
  call.params.key = session.Target().mono ? NearestMono(key) : key;
  Run(session, call, nullptr);
  return TRUE;
}

BOOL WINAPI AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                       int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdcDest);
  if (!dc) return FALSE;
  std::shared_ptr<DeviceContext> source = DCOrFail(hdcSrc);
  if (!source) return FALSE;
  if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) return Fail(ERROR_INVALID_PARAMETER);
  // Per-pixel alpha needs pixels that carry one; ours are 0x00RRGGBB.
  if (ftn.BlendOp != AC_SRC_OVER || ftn.AlphaFormat != 0) return Fail(ERROR_INVALID_PARAMETER);
  if (dc == source && Overlap(xoriginDest, yoriginDest, wDest, hDest, xoriginSrc, yoriginSrc, wSrc, hSrc))
    return Fail(ERROR_INVALID_PARAMETER);
  CopyCall call = RasterCall(SRCCOPY, xoriginDest, yoriginDest, wDest, hDest, xoriginSrc, yoriginSrc, wSrc, hSrc);
  call.params.kind = SpanKind::Blend;
  call.params.alpha = ftn.SourceConstantAlpha;
  call.params.stretchMode = COLORONCOLOR;
  DrawSession session(*dc, source.get());
  if (!Readable(*session.Source(), xoriginSrc, yoriginSrc, wSrc, hSrc)) return Fail(ERROR_INVALID_PARAMETER);
  // Opaque between colour pixels is a plain copy (the splash is blended at 255
  // on every paint); 0 changes nothing.
  if (ftn.SourceConstantAlpha == 0) return TRUE;
  if (ftn.SourceConstantAlpha == 255 && !session.Target().mono && !session.Source()->mono)
    call.params.kind = SpanKind::Raster;
  Run(session, call, nullptr);
  return TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  std::shared_ptr<DeviceContext> dc = DCOrFail(hdc);
  if (!dc) return FALSE;
  CopyCall call = RasterCall(rop, x, y, w, h, 0, 0, w, h);
  if (call.params.op.usesSource) return Fail(ERROR_INVALID_PARAMETER);
  DrawSession session(*dc);
  Run(session, call, session.State().CurrentBrush());
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
  CopyCall call;
  call.x = CopyAxis{lprc->left, width, 0, width};
  call.y = CopyAxis{lprc->top, height, 0, height};
  call.params.op = FindRasterOp(PATCOPY);
  DrawSession session(*dc);
  Run(session, call, BrushOf(brush));
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
  uint32_t rgb = PixelFromColor(color);
  *pixel = session.Target().mono ? NearestMono(rgb) : rgb;
  session.Drew();
  return ColorFromPixel(*pixel);  // the colour the pixel took
}

}  // extern "C"
