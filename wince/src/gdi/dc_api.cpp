// Device contexts and what they hold: creation, selection, stock objects,
// brushes and the DC's drawing state.
#include <windows.h>

#include <optional>
#include <utility>

#include "device/device.h"
#include "gdi/bitmap.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/stock.h"

namespace wce::gdi {
namespace {

// Runs `change` on the DC's state under its lock; `failed` for a bad handle.
template <class Result, class Change>
Result WithState(HDC hdc, Result failed, Change change) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return failed;
  }
  std::lock_guard<std::mutex> guard(dc->lock);
  return change(dc->state);
}

std::optional<Slot> SlotOfType(UINT type) {
  switch (type) {
    case OBJ_BITMAP: return Slot::Bitmap;
    case OBJ_BRUSH: return Slot::Brush;
    case OBJ_PEN: return Slot::Pen;
    case OBJ_FONT: return Slot::Font;
    default: return std::nullopt;
  }
}

}  // namespace
}  // namespace wce::gdi

using namespace wce;
using namespace wce::gdi;

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return NewDC(DCKind::Memory);
}

BOOL WINAPI DeleteDC(HDC hdc) {
  if (!RemoveDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ previous = Select(*dc, h);
  if (!previous) SetLastError(ERROR_INVALID_PARAMETER);
  return previous;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  std::optional<Slot> slot = SlotOfType(type);
  if (!slot) return nullptr;
  return WithState<HGDIOBJ>(hdc, nullptr, [&](DCState& s) { return s.At(*slot).handle; });
}

HGDIOBJ WINAPI GetStockObject(int i) { return StockObject(i); }

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(AddObject(Brush{BS_SOLID, color & 0x00FFFFFF, nullptr}));
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  return WithState<COLORREF>(hdc, CLR_INVALID, [&](DCState& s) { return std::exchange(s.textColor, color); });
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  return WithState<COLORREF>(hdc, CLR_INVALID, [](DCState& s) { return s.textColor; });
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  return WithState<COLORREF>(hdc, CLR_INVALID, [&](DCState& s) { return std::exchange(s.bkColor, color); });
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  return WithState<COLORREF>(hdc, CLR_INVALID, [](DCState& s) { return s.bkColor; });
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithState<int>(hdc, 0, [&](DCState& s) { return std::exchange(s.bkMode, mode); });
}

int WINAPI GetBkMode(HDC hdc) {
  return WithState<int>(hdc, 0, [](DCState& s) { return s.bkMode; });
}

int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WithState<int>(hdc, 0, [&](DCState& s) { return std::exchange(s.stretchMode, mode); });
}

int WINAPI GetStretchBltMode(HDC hdc) {
  return WithState<int>(hdc, 0, [](DCState& s) { return s.stretchMode; });
}

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return WithState<BOOL>(hdc, FALSE, [&](DCState& s) {
    if (lppt) *lppt = s.brushOrigin;
    s.brushOrigin = POINT{x, y};
    return TRUE;
  });
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!FindDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // Every DC here, memory ones too, has the screen's format.
  switch (index) {
    case HORZRES: return GetScreenSize().width;
    case VERTRES: return GetScreenSize().height;
    case LOGPIXELSX: return GetScreenDpiX();
    case LOGPIXELSY: return GetScreenDpiY();
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
  }
}

}  // extern "C"
