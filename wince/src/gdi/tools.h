// The drawing tools a DC holds besides its bitmap: brushes, pens and fonts,
// and the conversion between COLORREF (0x00BBGGRR) and pixels (0x00RRGGBB).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "gdi/bitmap.h"
#include "gdi/font_object.h"

namespace wce::gdi {

constexpr uint32_t kRgbMask = 0x00FFFFFF;

constexpr uint32_t PixelFromColor(COLORREF color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(uint32_t pixel) {
  return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

constexpr uint32_t kWhite = 0xFFFFFF;

// The nearer of black and white, as a colour lands on a monochrome bitmap.
constexpr uint32_t NearestMono(uint32_t pixel) {
  uint32_t sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
  return sum >= 383 ? kWhite : 0;
}

// A solid, null or pattern brush. A pattern brush keeps its own copy of the
// bitmap, so the caller may delete the bitmap at once.
struct Brush {
  UINT style = BS_SOLID;
  COLORREF color = 0;  // flag byte cleared
  std::shared_ptr<const Bitmap> pattern;  // BS_PATTERN

  bool DrawsNothing() const { return style == BS_NULL || (style == BS_PATTERN && !pattern); }
};

// Pens draw one pixel wide and solid, whatever their width and style;
// PS_NULL draws nothing.
struct Pen {
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};


}  // namespace wce::gdi
