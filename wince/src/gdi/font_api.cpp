// Font functions of wingdi.h: creating fonts, measuring text, metrics.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "device/device.h"
#include "gdi/dc.h"
#include "gdi/font_sizing.h"
#include "gdi/objects.h"

namespace wce::gdi {
namespace {

// Family and pitch bits of TEXTMETRICW: a variable-pitch (the bit's name
// says the opposite), vector, TrueType face of the Swiss family.
constexpr BYTE kPitchAndFamily = 0x01 | 0x02 | 0x04 | 0x20;

int Scaled(int units, const SizedFont& font) {
  int upem = std::max(font.face->Design().unitsPerEm, 1);
  return static_cast<int>((int64_t{units} * font.face->Ppem() + upem / 2) / upem);
}

TEXTMETRICW MetricsOf(const SizedFont& font) {
  const DesignMetrics& design = font.face->Design();
  TEXTMETRICW tm{};
  tm.tmHeight = font.Height();
  tm.tmAscent = font.ascent;
  tm.tmDescent = font.descent;
  tm.tmInternalLeading = std::max(font.Height() - font.face->Ppem(), 0);
  tm.tmExternalLeading = 0;
  tm.tmAveCharWidth = Scaled(design.avgCharWidth, font);
  if (tm.tmAveCharWidth <= 0) {
    std::vector<const Glyph*> x;
    font.face->GlyphsOf(L"x", x);
    tm.tmAveCharWidth = x[0]->advance;
  }
  tm.tmMaxCharWidth = Scaled(design.maxAdvance, font);
  tm.tmWeight = design.weightClass;
  tm.tmDigitizedAspectX = GetScreenDpiX();
  tm.tmDigitizedAspectY = GetScreenDpiY();
  tm.tmFirstChar = design.firstChar;
  tm.tmLastChar = design.lastChar;
  tm.tmDefaultChar = design.defaultChar;
  tm.tmBreakChar = L' ';
  tm.tmItalic = font.logfont.lfItalic;
  tm.tmUnderlined = font.logfont.lfUnderline;
  tm.tmStruckOut = font.logfont.lfStrikeOut;
  tm.tmPitchAndFamily = kPitchAndFamily;
  tm.tmCharSet = font.logfont.lfCharSet;
  return tm;
}

std::shared_ptr<const SizedFont> FontOfDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return SelectedFont(*dc);
}

}  // namespace
}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<const SizedFont> sized = MakeSizedFont(*lplf);
  if (!sized) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);  // no font file could be had
    return nullptr;
  }
  return static_cast<HFONT>(AddObject(Font{false, std::move(sized)}));
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  if (!psizl || c < 0 || (c > 0 && !lpString)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<const SizedFont> font = FontOfDC(hdc);
  if (!font) return FALSE;
  std::vector<const Glyph*> glyphs;
  font->face->GlyphsOf(std::wstring_view(lpString ? lpString : L"", static_cast<size_t>(c)), glyphs);
  int64_t width = 0;
  for (const Glyph* g : glyphs) width += g->advance;
  psizl->cx = static_cast<LONG>(std::min<int64_t>(width, std::numeric_limits<LONG>::max()));
  psizl->cy = font->Height();
  return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  if (!lptm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<const SizedFont> font = FontOfDC(hdc);
  if (!font) return FALSE;
  *lptm = MetricsOf(*font);
  return TRUE;
}

}  // extern "C"
