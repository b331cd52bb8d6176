// Putting text on a canvas: glyph coverage blended in the text colour, and
// the opaque background behind a line. Coordinates are the DC's, in 64 bits
// since a caller's rectangle may lie anywhere.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi/canvas.h"
#include "gdi/font_face.h"

namespace wce::gdi {

struct Box {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
};

// Where text may land, in canvas pixels: the canvas's clip, cut to `limit`
// (DC coordinates) when there is one.
std::vector<RECT> TextClip(const Canvas& canvas, const RECT* limit);

// Fills `box` with `rgb` (0x00RRGGBB) inside `clip`; true when a pixel changed.
bool FillBox(const Canvas& canvas, const std::vector<RECT>& clip, const Box& box, uint32_t rgb);

// Draws the glyphs from pen position x on `baseline`, each blended over the
// canvas by its coverage: per channel (text·a + dst·(255 − a) + 127) / 255.
// A monochrome canvas takes the nearer of black and white where a >= 128.
// True when a pixel was touched.
bool DrawGlyphRun(const Canvas& canvas, const std::vector<RECT>& clip, int64_t x, int64_t baseline,
                  const std::vector<const Glyph*>& glyphs, uint32_t rgb);

}  // namespace wce::gdi
