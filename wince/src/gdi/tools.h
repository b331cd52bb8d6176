// The drawing tools a DC holds besides its bitmap: brushes, pens and fonts,
// and the conversion between COLORREF (0x00BBGGRR) and pixels (0x00RRGGBB).
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi/font_object.h"

namespace wce::gdi {

constexpr uint32_t kRgbMask = 0x00FFFFFF;

constexpr uint32_t PixelFromColor(COLORREF color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(uint32_t pixel) {
  return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

// A solid or a null brush. Pattern brushes add a bitmap here.
struct Brush {
  UINT style = BS_SOLID;
  COLORREF color = 0;  // flag byte cleared

  bool DrawsNothing() const { return style == BS_NULL; }
};

// Lines arrive later; the stock pens already exist so that DCs hold one.
struct Pen {
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};


}  // namespace wce::gdi
