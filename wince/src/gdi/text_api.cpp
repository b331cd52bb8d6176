// DrawTextW: lay the text out in the rectangle, then draw each line in the
// DC's text colour (over its background colour when the mode is OPAQUE).
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "gdi/canvas.h"
#include "gdi/dc.h"
#include "gdi/font_sizing.h"
#include "gdi/text_draw.h"
#include "gdi/text_layout.h"
#include "device/device.h"
#include "gdi/tools.h"

using namespace wce::gdi;

namespace {

std::atomic<uint64_t> gTextDraws{0};

void Advances(FontFace& face, std::wstring_view text, std::vector<int>& out) {
  std::vector<const Glyph*> glyphs;
  face.GlyphsOf(text, glyphs);
  out.clear();
  for (const Glyph* g : glyphs) out.push_back(g->advance);
}

// Draws the laid-out lines; the DC's state is read, never changed.
void DrawLines(DeviceContext& dc, const TextLayout& layout, const SizedFont& font, const RECT* clipTo) {
  DrawSession session(dc);
  const DCState& state = session.State();
  std::vector<RECT> clip = TextClip(session.Target(), clipTo);
  if (clip.empty()) return;
  uint32_t text = PixelFromColor(state.textColor) & kRgbMask;
  uint32_t background = PixelFromColor(state.bkColor) & kRgbMask;
  bool drew = false;
  std::vector<const Glyph*> glyphs;
  for (const PlacedLine& line : layout.lines) {
    if (state.bkMode == OPAQUE)
      drew |= FillBox(session.Target(), clip, Box{line.x, line.y, line.x + line.width, line.y + font.Height()},
                      background);
    font.face->GlyphsOf(line.text, glyphs);
    drew |= DrawGlyphRun(session.Target(), clip, line.x, line.y + font.ascent, glyphs, text);
  }
  if (drew) session.Drew();
}

}  // namespace

extern "C" {

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!lpchText || !lprc || cchText < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::wstring_view text(lpchText, cchText == -1 ? std::wcslen(lpchText) : static_cast<size_t>(cchText));
  std::shared_ptr<const SizedFont> font = SelectedFont(*dc);
  if (!font) return 0;
  TextLayout layout = LayOutText(text, *lprc, format, font->Height(),
                                 [&](std::wstring_view s, std::vector<int>& out) { Advances(*font->face, s, out); });
  if (format & DT_CALCRECT) {
    *lprc = layout.calcRect;
    return layout.height;
  }
  ++gTextDraws;
  if (!layout.lines.empty()) DrawLines(*dc, layout, *font, (format & DT_NOCLIP) ? nullptr : lprc);
  return layout.height;
}

}  // extern "C"

uint64_t wce::TextDrawCount() { return gTextDraws; }
