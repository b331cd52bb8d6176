// Rectangle arithmetic of the window manager. Right and bottom edges are
// exclusive, as everywhere on the platform.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace wce::user {

inline bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

inline RECT Intersection(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return IsEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline RECT Bounds(const RECT& a, const RECT& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

inline RECT Offset(const RECT& r, LONG dx, LONG dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

inline bool Contains(const RECT& r, LONG x, LONG y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// `a` without `b`, as up to four bands: above, below, left, right.
inline std::vector<RECT> Difference(const RECT& a, const RECT& b) {
  RECT cut = Intersection(a, b);
  if (IsEmpty(cut)) return IsEmpty(a) ? std::vector<RECT>{} : std::vector<RECT>{a};
  std::vector<RECT> parts = {
      {a.left, a.top, a.right, cut.top},
      {a.left, cut.bottom, a.right, a.bottom},
      {a.left, cut.top, cut.left, cut.bottom},
      {cut.right, cut.top, a.right, cut.bottom},
  };
  std::erase_if(parts, [](const RECT& r) { return IsEmpty(r); });
  return parts;
}

}  // namespace wce::user
