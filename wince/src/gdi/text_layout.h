// Where DrawTextW puts its lines: prefixes, line breaks, end ellipsis and the
// placement in the rectangle, worked out from character advances alone so
// that it can be checked without a font.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wce::gdi {

struct PlacedLine {
  std::wstring text;  // after prefix removal and ellipsis
  int64_t x = 0;      // the cell's top left, DC coordinates
  int64_t y = 0;
  int64_t width = 0;
};

struct TextLayout {
  std::vector<PlacedLine> lines;  // empty lines are left out: they draw nothing
  int height = 0;                 // DrawTextW's result
  RECT calcRect{};                // the rectangle DT_CALCRECT hands back
};

// The advance of each character of a text, in pixels.
using MeasureText = std::function<void(std::wstring_view, std::vector<int>&)>;

// "&x" shows x and "&&" one ampersand; a lone '&' at the end stays.
std::wstring StripPrefixes(std::wstring_view text);

// The lines of `text` laid out in `rect` by the DT_* `format`, each line
// `lineHeight` tall.
TextLayout LayOutText(std::wstring_view text, const RECT& rect, UINT format, int lineHeight,
                      const MeasureText& measure);

}  // namespace wce::gdi
