// Raster operations: how destination, source and pattern pixels combine.
// The code's third byte is the truth table (bit P*4 + S*2 + D gives the
// result for those three input bits), so any code can be worked out; the
// common ones have rows of their own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wce::gdi {

// n pixels of one row; `source` and `pattern` are null when the operation
// does not use them.
using RowOp = void (*)(uint8_t code, uint32_t* dest, const uint32_t* source, const uint32_t* pattern, int n);

struct RasterOp {
  uint8_t code = 0;
  bool usesSource = false;
  bool usesPattern = false;
  RowOp row = nullptr;
};

constexpr uint8_t RopCode(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
// Whether the result depends on S (or P): flipping that input changes a bit.
constexpr bool RopUsesSource(uint8_t code) { return (((code >> 2) ^ code) & 0x33) != 0; }
constexpr bool RopUsesPattern(uint8_t code) { return (((code >> 4) ^ code) & 0x0F) != 0; }

// Any ternary operation on 24-bit pixels, straight from its truth table.
uint32_t Rop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest);

RasterOp FindRasterOp(DWORD rop);
// Whether `code` has a row of its own (tests check those against Rop3).
bool HasNamedRow(uint8_t code);

}  // namespace wce::gdi
