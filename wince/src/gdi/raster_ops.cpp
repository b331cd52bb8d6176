#include "gdi/raster_ops.h"

#include "gdi/tools.h"

namespace wce::gdi {

uint32_t Rop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest) {
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    uint32_t p = (i & 4) ? pattern : ~pattern;
    uint32_t s = (i & 2) ? source : ~source;
    uint32_t d = (i & 1) ? dest : ~dest;
    result |= p & s & d;
  }
  return result & kRgbMask;
}

}  // namespace wce::gdi
