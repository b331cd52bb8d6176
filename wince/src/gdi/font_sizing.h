// From a LOGFONTW to a font that draws: the size rules of the platform, the
// device's system font, and the font a DC draws with.
#pragma once

#include <windows.h>

#include <memory>

#include "gdi/dc.h"
#include "gdi/font_face.h"
#include "gdi/font_object.h"

namespace wce::gdi {

// Pixels per em and the cell around the baseline.
struct CellSize {
  int ppem = 0;
  int ascent = 0;
  int descent = 0;
};

// lfHeight > 0 asks for that cell height (em = unitsPerEm x height / (win
// ascent + win descent), hhea ascender - descender when those are 0), < 0
// for that em size, 0 for `defaultEm`.
CellSize SizeForHeight(LONG lfHeight, const DesignMetrics& design, int defaultEm);

// The system font's LOGFONTW at a screen dpi.
LOGFONTW SystemLogFont(int dpi);

// fontconfig's file for the LOGFONTW at its size; null when no font file
// can be had at all.
std::shared_ptr<const SizedFont> MakeSizedFont(const LOGFONTW& logfont);

// The font to measure and draw with: the handle's own, or the system font
// at the current screen dpi.
std::shared_ptr<const SizedFont> ResolveFont(const Font& font);

// The font selected into a DC, resolved; null when there is none to draw with.
std::shared_ptr<const SizedFont> SelectedFont(DeviceContext& dc);

}  // namespace wce::gdi
