#include "gdi/text_draw.h"

#include <algorithm>

#include "gdi/rects.h"
#include "gdi/tools.h"

namespace wce::gdi {
namespace {

// `box` (DC coordinates) on the canvas, cut to one clip piece.
RECT OnPiece(const Canvas& canvas, const Box& box, const RECT& piece) {
  int64_t left = std::max<int64_t>(box.left + canvas.origin.x, piece.left);
  int64_t top = std::max<int64_t>(box.top + canvas.origin.y, piece.top);
  int64_t right = std::min<int64_t>(box.right + canvas.origin.x, piece.right);
  int64_t bottom = std::min<int64_t>(box.bottom + canvas.origin.y, piece.bottom);
  if (left >= right || top >= bottom) return RECT{};
  return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
}

uint32_t* PixelRow(const Canvas& canvas, LONG y) { return canvas.pixels + static_cast<size_t>(y) * canvas.width; }

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

uint32_t Blend(uint32_t dst, uint32_t text, uint32_t a) {
  uint32_t out = dst & ~kRgbMask;  // whatever rides in the top byte stays
  for (int shift : {0, 8, 16}) {
    uint32_t c = (Channel(text, shift) * a + Channel(dst, shift) * (255 - a) + 127) / 255;
    out |= c << shift;
  }
  return out;
}

void BlendGlyph(const Canvas& canvas, const RECT& part, const Glyph& glyph, int64_t glyphX, int64_t glyphY,
                uint32_t rgb) {
  for (LONG y = part.top; y < part.bottom; ++y) {
    const uint8_t* coverage = glyph.coverage.data() + (y - glyphY) * glyph.width + (part.left - glyphX);
    uint32_t* row = PixelRow(canvas, y);
    for (LONG x = part.left; x < part.right; ++x) {
      uint32_t a = *coverage++;
      if (canvas.mono) {
        // Two colours only: a pixel is ink when at least half covered.
        if (a >= 128) row[x] = (row[x] & ~kRgbMask) | NearestMono(rgb);
      } else if (a == 255) {
        row[x] = (row[x] & ~kRgbMask) | rgb;
      } else if (a != 0) {
        row[x] = Blend(row[x], rgb, a);
      }
    }
  }
}

}  // namespace

std::vector<RECT> TextClip(const Canvas& canvas, const RECT* limit) {
  if (!limit) return canvas.clip;
  Box box{limit->left, limit->top, limit->right, limit->bottom};
  std::vector<RECT> clip;
  for (const RECT& piece : canvas.clip) {
    RECT part = OnPiece(canvas, box, piece);
    if (!Empty(part)) clip.push_back(part);
  }
  return clip;
}

bool FillBox(const Canvas& canvas, const std::vector<RECT>& clip, const Box& box, uint32_t rgb) {
  bool drew = false;
  for (const RECT& piece : clip) {
    RECT part = OnPiece(canvas, box, piece);
    if (Empty(part)) continue;
    if (canvas.mono) rgb = NearestMono(rgb);
    for (LONG y = part.top; y < part.bottom; ++y) {
      uint32_t* row = PixelRow(canvas, y);
      for (LONG x = part.left; x < part.right; ++x) row[x] = (row[x] & ~kRgbMask) | rgb;
    }
    drew = true;
  }
  return drew;
}

bool DrawGlyphRun(const Canvas& canvas, const std::vector<RECT>& clip, int64_t x, int64_t baseline,
                  const std::vector<const Glyph*>& glyphs, uint32_t rgb) {
  bool drew = false;
  int64_t pen = x;
  for (const Glyph* glyph : glyphs) {
    Box box{pen + glyph->left, baseline - glyph->top, pen + glyph->left + glyph->width,
            baseline - glyph->top + glyph->rows};
    pen += glyph->advance;
    if (glyph->coverage.empty()) continue;
    for (const RECT& piece : clip) {
      RECT part = OnPiece(canvas, box, piece);
      if (Empty(part)) continue;
      BlendGlyph(canvas, part, *glyph, box.left + canvas.origin.x, box.top + canvas.origin.y, rgb);
      drew = true;
    }
  }
  return drew;
}

}  // namespace wce::gdi
