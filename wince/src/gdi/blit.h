// Rectangle copies and fills on canvases: plain, stretched and mirrored, through
// a raster operation, a colour key or a constant alpha. Two paths do the same
// pixel work: the fast one clips first and runs one span kernel per row piece;
// the reference one works pixel by pixel straight from the platform's rules,
// so that tests can hold the fast one against it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/canvas.h"
#include "gdi/raster_ops.h"
#include "gdi/span_kernels.h"
#include "gdi/tools.h"

namespace wce::gdi {

// One axis in DC coordinates. The destination is [at, at + extent) and the
// source [sourceAt, sourceAt + sourceExtent); a negative extent covers
// [at + extent + 1, at + 1), and a copy whose two extents differ in sign is mirrored.
struct CopyAxis {
  int64_t at = 0;
  int64_t extent = 0;
  int64_t sourceAt = 0;
  int64_t sourceExtent = 0;
};

struct CopyParams {
  SpanKind kind = SpanKind::Raster;
  RasterOp op{};         // Raster
  uint32_t key = 0;      // Keyed: the key colour as a pixel
  uint32_t alpha = 255;  // Blend
  // How source pixels that shrink onto one destination pixel merge:
  // BLACKONWHITE ANDs them, WHITEONBLACK ORs them, the others keep one (the
  // last along a row, the first down a column).
  int stretchMode = COLORONCOLOR;
};

// The colours that turn monochrome into colour and back where a picture
// crosses between formats.
struct EdgeColors {
  uint32_t text = 0;                   // target DC: monochrome 0 bits become this
  uint32_t background = kWhite;        // target DC: 1 bits become this
  uint32_t sourceBackground = kWhite;  // source DC: this colour becomes 1, others 0
};

struct CopyCall {
  CopyAxis x, y;
  CopyParams params;
  EdgeColors colors;
  const Brush* brush = nullptr;  // for operations with a pattern; never a null brush
  POINT brushOrigin{0, 0};
};

// The pixels a brush lays down, a row at a time, in the target's format.
// Device pixel (x, y) takes the pattern's pixel ((x - origin.x) mod W,
// (y - origin.y) mod H); a solid brush is the same everywhere.
class PatternRows {
 public:
  PatternRows(const Brush& brush, POINT origin, bool monoTarget, const EdgeColors& colors);
  // `n` pixels from DC coordinate (x, y) to the right.
  const uint32_t* Row(int64_t x, int64_t y, int n);

 private:
  POINT origin_;
  uint32_t solid_ = 0;
  const Bitmap* pattern_ = nullptr;
  std::vector<uint32_t> converted_;  // the pattern in the target's format
  std::vector<uint32_t> row_;
};

// A source pixel in the target's format.
inline uint32_t ConvertPixel(uint32_t pixel, bool sourceMono, bool targetMono, const EdgeColors& colors) {
  if (sourceMono == targetMono) return pixel;
  if (sourceMono) return pixel ? colors.background : colors.text;
  return pixel == colors.sourceBackground ? kWhite : 0;
}

// Carries out `call` on `target` (its clip) from `source` (its readable part;
// null when the operation reads none). A source sharing the target's pixels
// is read as it was before the call. Pixels whose source lies outside what
// can be read stay as they are. Returns how many pixels were written.
size_t Copy(const Canvas& target, const Canvas* source, const CopyCall& call);
size_t FastCopy(const Canvas& target, const Canvas* source, const CopyCall& call);
size_t ReferenceCopy(const Canvas& target, const Canvas* source, const CopyCall& call);

// Tests switch every copy of the device to the reference path and back.
void UseReferencePixels(bool on);

}  // namespace wce::gdi
