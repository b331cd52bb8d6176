// A font handle's content: the LOGFONTW it was made from and the sized face
// that draws it. The stock system font carries no face of its own: it is
// resolved when used, so that it follows the screen's dpi.
#pragma once

#include <windows.h>

#include <memory>

namespace wce::gdi {

class FontFace;

// A font ready to measure and draw: face, cell metrics in pixels.
struct SizedFont {
  LOGFONTW logfont{};
  std::shared_ptr<FontFace> face;
  int ascent = 0;   // baseline below the cell's top
  int descent = 0;  // cell below the baseline
  int Height() const { return ascent + descent; }
};

struct Font {
  bool system = true;
  std::shared_ptr<const SizedFont> sized;  // null for the system font
};

// GetObjectW's view of a font.
LOGFONTW LogFontOf(const Font& font);

}  // namespace wce::gdi
