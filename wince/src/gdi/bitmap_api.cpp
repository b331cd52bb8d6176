// Making bitmaps and pattern brushes: CreateCompatibleBitmap, CreateBitmap,
// CreatePatternBrush. Pixels are 32-bit inside; bits in other layouts are
// converted here, on the way in.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

#include "gdi/bitmap.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/stock.h"

namespace wce::gdi {
namespace {

HBITMAP FailWith(DWORD error) {
  SetLastError(error);
  return nullptr;
}

// The format a bitmap compatible with this DC has: that of the bitmap a
// memory DC holds (so a fresh one gives monochrome, as on the platform),
// the screen's for window and screen DCs.
int CompatibleDepth(DeviceContext& dc) {
  if (dc.kind != DCKind::Memory) return 32;
  std::lock_guard<std::mutex> guard(dc.lock);
  const Selected& selected = dc.state.At(Slot::Bitmap);
  const Bitmap* bitmap = selected.object ? std::get_if<Bitmap>(&selected.object->payload) : nullptr;
  return bitmap && bitmap->Mono() ? 1 : 32;
}

// Rows of the caller's bits are padded to whole 16-bit words.
size_t RowBytes(int width, int bitsPerPixel) { return (static_cast<size_t>(width) * bitsPerPixel + 15) / 16 * 2; }

uint32_t ReadPixel(const uint8_t* row, int x, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFu : 0u;  // bit 1 is white
    case 24: return (uint32_t{row[3 * x + 2]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
    default: return (uint32_t{row[4 * x + 2]} << 16) | (uint32_t{row[4 * x + 1]} << 8) | row[4 * x];
  }
}

}  // namespace
}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) return FailWith(ERROR_INVALID_HANDLE);
  if (cx < 0 || cy < 0) return FailWith(ERROR_INVALID_PARAMETER);
  if (cx == 0 || cy == 0) return StockBitmap();  // as the platform: its 1 x 1 stock bitmap
  HBITMAP bitmap = CreateDeviceBitmap(cx, cy, CompatibleDepth(*dc));
  return bitmap ? bitmap : FailWith(ERROR_NOT_ENOUGH_MEMORY);
}

// 1, 24 and 32 bits per pixel: the layouts the program's era used for its
// own bitmaps. Palette depths need a palette, which this device has not.
HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 24 && nBitCount != 32) || nWidth < 0 || nHeight < 0)
    return FailWith(ERROR_INVALID_PARAMETER);
  if (nWidth == 0 || nHeight == 0) return StockBitmap();
  const int depth = static_cast<int>(nBitCount);
  if (!BitmapSizeAllowed(nWidth, nHeight)) return FailWith(ERROR_NOT_ENOUGH_MEMORY);
  Bitmap bitmap;
  try {
    bitmap.pixels.assign(static_cast<size_t>(nWidth) * nHeight, 0);
  } catch (const std::bad_alloc&) {
    return FailWith(ERROR_NOT_ENOUGH_MEMORY);
  }
  bitmap.width = nWidth;
  bitmap.height = nHeight;
  bitmap.bitsPerPixel = depth;
  bitmap.deviceDependent = true;
  if (lpBits) {
    const auto* bytes = static_cast<const uint8_t*>(lpBits);
    for (int y = 0; y < nHeight; ++y) {
      const uint8_t* row = bytes + y * RowBytes(nWidth, depth);
      for (int x = 0; x < nWidth; ++x) bitmap.At(x, y) = ReadPixel(row, x, depth);
    }
  }
  HBITMAP handle = AddBitmap(std::move(bitmap));
  return handle ? handle : FailWith(ERROR_NOT_ENOUGH_MEMORY);
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
  std::shared_ptr<Bitmap> bitmap = FindBitmap(hbm);
  if (!bitmap) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Brush brush;
  brush.style = BS_PATTERN;
  try {
    brush.pattern = std::make_shared<const Bitmap>(*bitmap);  // the brush keeps its own copy
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

}  // extern "C"
