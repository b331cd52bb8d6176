// Raster operations: how destination, source and pattern pixels combine.
// The code's third byte is the truth table (bit P*4 + S*2 + D gives the
// result for those three input bits), so any code can be worked out; the
// common ones have span kernels of their own (span_kernels.h).
#pragma once

#include <windows.h>

#include <cstdint>

namespace wce::gdi {

struct RasterOp {
  uint8_t code = 0;
  bool usesSource = false;
  bool usesPattern = false;
};

constexpr uint8_t RopCode(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
// Whether the result depends on S (or P): flipping that input changes a bit.
constexpr bool RopUsesSource(uint8_t code) { return (((code >> 2) ^ code) & 0x33) != 0; }
constexpr bool RopUsesPattern(uint8_t code) { return (((code >> 4) ^ code) & 0x0F) != 0; }

// Any ternary operation on 24-bit pixels, straight from its truth table.
uint32_t Rop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest);

constexpr RasterOp FindRasterOp(DWORD rop) {
  uint8_t code = RopCode(rop);
  return RasterOp{code, RopUsesSource(code), RopUsesPattern(code)};
}

}  // namespace wce::gdi
