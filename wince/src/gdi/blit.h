// Rectangle copies and fills on canvases, clipped, through a raster operation.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/canvas.h"
#include "gdi/raster_ops.h"
#include "gdi/tools.h"

namespace wce::gdi {

// The pixels a brush lays down, a row at a time. Device pixel (x, y) takes
// the brush's pixel at (x - origin.x, y - origin.y), wrapped, once brushes
// have patterns; a solid brush is the same everywhere.
class PatternRows {
 public:
  PatternRows(const Brush& brush, POINT origin);
  // `n` pixels from DC coordinate (x, y) to the right.
  const uint32_t* Row(int x, int y, int n);

 private:
  uint32_t rgb_;
  std::vector<uint32_t> row_;
};

// Combines the DC rectangle `rect` of `target` (normalised) with `source`
// read from `sourceAt` on, and with the pattern. Only pixels inside both the
// target's clip and the source's readable part change; a source that shares
// the target's pixels is read as it was before the call. Returns how many
// pixels changed.
size_t Blit(const Canvas& target, const RECT& rect, const Canvas* source, POINT sourceAt, const RasterOp& op,
            PatternRows* pattern);

}  // namespace wce::gdi
