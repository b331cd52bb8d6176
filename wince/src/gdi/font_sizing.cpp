#include "gdi/font_sizing.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <string_view>

#include "device/device.h"

namespace wce::gdi {
namespace {

// Beyond this a glyph's coverage alone would run to megabytes; no screen
// the device has could show such a letter anyway.
constexpr int64_t kMaxPixelSize = 1024;

// The system font: 9 points, the size of the phones' own system font,
// which makes a 24-pixel em (a 28-pixel cell with the sans face here) on
// the 192-dpi 480 x 640 screen and 12 on a 96-dpi one. The face is named
// as on the phones; the mapper gives its sans face for it.
constexpr int kSystemFontPoints = 9;
constexpr wchar_t kSystemFace[] = L"Tahoma";

int RoundedRatio(int64_t value, int64_t numerator, int64_t denominator) {
  if (denominator <= 0) return 0;
  return static_cast<int>((value * numerator + denominator / 2) / denominator);
}

int SystemEm(int dpi) { return RoundedRatio(kSystemFontPoints, std::max(dpi, 1), 72); }

}  // namespace

CellSize SizeForHeight(LONG lfHeight, const DesignMetrics& design, int defaultEm) {
  int64_t ascentUnits = design.winAscent, descentUnits = design.winDescent;
  if (ascentUnits + descentUnits <= 0) {
    ascentUnits = design.hheaAscender;
    descentUnits = -int64_t{design.hheaDescender};
  }
  int64_t upem = std::max(design.unitsPerEm, 1);
  if (ascentUnits + descentUnits <= 0) {  // a font with no vertical metrics at all
    ascentUnits = upem * 4 / 5;
    descentUnits = upem - ascentUnits;
  }
  int64_t cellUnits = ascentUnits + descentUnits;
  int64_t height = lfHeight == 0 ? -int64_t{defaultEm} : int64_t{lfHeight};
  CellSize size;
  if (height > 0) {
    height = std::min(height, kMaxPixelSize);
    size.ppem = std::max(RoundedRatio(upem, height, cellUnits), 1);
    size.ascent = RoundedRatio(ascentUnits, height, cellUnits);
    size.descent = static_cast<int>(height) - size.ascent;
  } else {
    int64_t em = std::clamp<int64_t>(-height, 1, kMaxPixelSize);
    size.ppem = static_cast<int>(em);
    size.ascent = RoundedRatio(ascentUnits, em, upem);
    size.descent = RoundedRatio(descentUnits, em, upem);
  }
  return size;
}

LOGFONTW SystemLogFont(int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -SystemEm(dpi);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  std::copy(std::begin(kSystemFace), std::end(kSystemFace), lf.lfFaceName);
  return lf;
}

std::shared_ptr<const SizedFont> MakeSizedFont(const LOGFONTW& logfont) {
  size_t nameLength = 0;
  while (nameLength < LF_FACESIZE && logfont.lfFaceName[nameLength]) ++nameLength;
  std::optional<FontMatch> match =
      MatchFont(std::wstring_view(logfont.lfFaceName, nameLength), logfont.lfWeight, logfont.lfItalic != 0);
  if (!match) return nullptr;
  std::optional<DesignMetrics> design = DesignOf(*match);
  if (!design) return nullptr;
  CellSize cell = SizeForHeight(logfont.lfHeight, *design, SystemEm(GetScreenDpiY()));
  auto sized = std::make_shared<SizedFont>();
  sized->logfont = logfont;
  sized->face = FontFace::Open(*match, cell.ppem);
  if (!sized->face) return nullptr;
  sized->ascent = cell.ascent;
  sized->descent = cell.descent;
  return sized;
}

std::shared_ptr<const SizedFont> ResolveFont(const Font& font) {
  if (!font.system) return font.sized;
  static std::mutex lock;
  static std::map<int, std::shared_ptr<const SizedFont>> byDpi;
  int dpi = GetScreenDpiY();
  std::lock_guard<std::mutex> guard(lock);
  std::shared_ptr<const SizedFont>& system = byDpi[dpi];
  if (!system) system = MakeSizedFont(SystemLogFont(dpi));
  return system;
}

std::shared_ptr<const SizedFont> SelectedFont(DeviceContext& dc) {
  std::shared_ptr<GdiObject> object;
  {
    std::lock_guard<std::mutex> guard(dc.lock);
    object = dc.state.At(Slot::Font).object;
  }
  // The object stays alive through our reference even if the DC lets go of it.
  const Font* font = object ? std::get_if<Font>(&object->payload) : nullptr;
  return font ? ResolveFont(*font) : nullptr;
}

LOGFONTW LogFontOf(const Font& font) {
  if (font.system) return SystemLogFont(GetScreenDpiY());
  return font.sized ? font.sized->logfont : LOGFONTW{};
}

}  // namespace wce::gdi
