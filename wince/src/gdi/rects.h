// Rectangle arithmetic for clipping: right and bottom edges are exclusive.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace wce::gdi {

// Every canvas lies well inside this range of coordinates (bitmaps and the
// screen are at most 16384 pixels wide); cutting calls and window positions
// to it first keeps the arithmetic after it within LONG.
constexpr LONG kCoordLimit = LONG{1} << 24;

inline bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

inline RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

inline RECT Offset(const RECT& r, LONG dx, LONG dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline bool Contains(const RECT& r, LONG x, LONG y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// `pieces` minus `hole`: every piece that meets the hole is cut into the up to
// four bands around it. Disjoint pieces stay disjoint.
inline std::vector<RECT> Subtract(const std::vector<RECT>& pieces, const RECT& hole) {
  if (Empty(hole)) return pieces;
  std::vector<RECT> out;
  for (const RECT& r : pieces) {
    RECT cut = Intersect(r, hole);
    if (Empty(cut)) {
      out.push_back(r);
      continue;
    }
    RECT above{r.left, r.top, r.right, cut.top};
    RECT below{r.left, cut.bottom, r.right, r.bottom};
    RECT left{r.left, cut.top, cut.left, cut.bottom};
    RECT right{cut.right, cut.top, r.right, cut.bottom};
    for (const RECT& band : {above, below, left, right})
      if (!Empty(band)) out.push_back(band);
  }
  return out;
}

}  // namespace wce::gdi
