// The platform's Bresenham walk for one-pixel lines. Step k (0 <= k < major
// length) moves k along the major axis and MinorAt(k) across it; ties fall by
// the octant, as on the platform. The end point is step `major`, never drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

namespace wce::gdi {

class LineWalk {
 public:
  LineWalk(POINT from, POINT to);

  bool XMajor() const { return xMajor_; }
  int64_t Steps() const { return major_; }
  // Closed form of the walk: the point of step k.
  int64_t MinorAt(int64_t k) const;
  POINT PointAt(int64_t k) const;
  // Steps [first, last) by the incremental walk, calling plot for each point.
  void Walk(int64_t first, int64_t last, const std::function<void(int64_t x, int64_t y)>& plot) const;
  // The steps whose major coordinate lies in [lo, hi), as [first, last).
  std::pair<int64_t, int64_t> StepsWithin(int64_t lo, int64_t hi) const;

 private:
  POINT from_;
  bool xMajor_ = false;
  int64_t major_ = 0;
  int64_t minor_ = 0;
  int64_t xStep_ = 1;
  int64_t yStep_ = 1;
  int64_t bias_ = 0;
};

}  // namespace wce::gdi
