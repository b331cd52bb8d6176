#include "gdi/text_layout.h"

#include <algorithm>
#include <limits>

namespace wce::gdi {
namespace {

constexpr std::wstring_view kEllipsis = L"...";

int64_t Sum(const std::vector<int>& advances) {
  int64_t total = 0;
  for (int a : advances) total += a;
  return total;
}

LONG ClampToLong(int64_t v) {
  return static_cast<LONG>(
      std::clamp<int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

// CR LF, LF and CR each end a line; a break at the very end starts no new one.
std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size() || lines.empty()) lines.push_back(text.substr(start));
  return lines;
}

// The line as it shows in `available` pixels: whole when it fits or no
// ellipsis is asked for, else the longest prefix that fits with "..."
// behind it, or "..." alone.
PlacedLine Fit(std::wstring_view line, int64_t available, bool ellipsis, const MeasureText& measure) {
  std::vector<int> advances;
  measure(line, advances);
  PlacedLine placed{std::wstring(line), 0, 0, Sum(advances)};
  if (!ellipsis || placed.width <= available) return placed;
  std::vector<int> dotAdvances;
  measure(kEllipsis, dotAdvances);
  int64_t dots = Sum(dotAdvances);
  size_t kept = 0;
  int64_t width = 0;
  while (kept < advances.size() && width + advances[kept] + dots <= available) width += advances[kept++];
  placed.text = std::wstring(line.substr(0, kept)) + std::wstring(kEllipsis);
  placed.width = width + dots;
  return placed;
}

int64_t LineX(const RECT& rect, UINT format, int64_t width) {
  if (format & DT_CENTER) return (int64_t{rect.left} + rect.right - width) / 2;
  if (format & DT_RIGHT) return int64_t{rect.right} - width;
  return rect.left;
}

// Vertical placement is for single lines only, as on the platform.
int64_t FirstLineY(const RECT& rect, UINT format, int lineHeight) {
  if (!(format & DT_SINGLELINE)) return rect.top;
  if (format & DT_VCENTER) return int64_t{rect.top} + (int64_t{rect.bottom} - rect.top) / 2 - lineHeight / 2;
  if (format & DT_BOTTOM) return int64_t{rect.bottom} - lineHeight;
  return rect.top;
}

}  // namespace

std::wstring StripPrefixes(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out.push_back(text[i]);
  }
  return out;
}

TextLayout LayOutText(std::wstring_view text, const RECT& rect, UINT format, int lineHeight,
                      const MeasureText& measure) {
  std::wstring stripped;
  if (!(format & DT_NOPREFIX)) {
    stripped = StripPrefixes(text);
    text = stripped;
  }
  std::vector<std::wstring_view> lines{text};
  if (!(format & DT_SINGLELINE)) lines = SplitLines(text);

  TextLayout layout;
  int64_t available = int64_t{rect.right} - rect.left;
  int64_t y = FirstLineY(rect, format, lineHeight);
  int64_t widest = 0;
  for (std::wstring_view line : lines) {
    PlacedLine placed = Fit(line, available, (format & DT_END_ELLIPSIS) != 0, measure);
    placed.x = LineX(rect, format, placed.width);
    placed.y = y;
    widest = std::max(widest, placed.width);
    if (!placed.text.empty()) layout.lines.push_back(std::move(placed));
    y += lineHeight;
  }
  // The result is the distance from the rectangle's top to the bottom of the
  // last line (the text height when the text starts at the top).
  int64_t height = y - rect.top;
  bool emptyMultiLine = text.empty() && !(format & DT_SINGLELINE);
  layout.height = ClampToLong(height);
  layout.calcRect = RECT{rect.left, rect.top, ClampToLong(rect.left + widest),
                         emptyMultiLine ? rect.top : ClampToLong(rect.top + height)};
  return layout;
}

}  // namespace wce::gdi
