// The inner loops of every copy: one call per span of a row, chosen once per
// call from what the copy does and whether its source columns are mapped.
#pragma once

#include <cstdint>

namespace wce::gdi {

// n destination pixels and what they combine with.
struct Span {
  uint32_t* dest = nullptr;
  // Source pixel i is source[i], or source[columns[i]] with a column map
  // (stretching or mirroring). Null when the operation reads no source.
  const uint32_t* source = nullptr;
  const int32_t* columns = nullptr;
  const uint32_t* pattern = nullptr;  // n pixels, when the operation uses a pattern
  int n = 0;
};

// What stays the same for the whole call.
struct SpanParams {
  uint8_t code = 0;    // raster operation
  uint32_t key = 0;    // keyed copies: a source pixel equal to it is left out
  uint32_t alpha = 0;  // blends: constant alpha, 0-255
};

using SpanKernel = void (*)(const SpanParams& params, const Span& span);

enum class SpanKind {
  Raster,  // any raster operation of source, pattern and destination
  Keyed,   // copy, except source pixels equal to the key
  Blend,   // dst = (src * a + dst * (255 - a) + 127) / 255, per channel
};

SpanKernel ChooseSpanKernel(SpanKind kind, uint8_t code, bool mappedColumns);

}  // namespace wce::gdi
