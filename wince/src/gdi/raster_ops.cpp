#include "gdi/raster_ops.h"

#include <algorithm>
#include <cstring>

#include "gdi/tools.h"

namespace wce::gdi {
namespace {

using PixelOp = uint32_t (*)(uint32_t p, uint32_t s, uint32_t d);

template <uint8_t Code, PixelOp Op>
void Rows(uint8_t, uint32_t* dest, const uint32_t* source, const uint32_t* pattern, int n) {
  constexpr bool kS = RopUsesSource(Code);
  constexpr bool kP = RopUsesPattern(Code);
  for (int i = 0; i < n; ++i) dest[i] = Op(kP ? pattern[i] : 0, kS ? source[i] : 0, dest[i]) & kRgbMask;
}

void CopySource(uint8_t, uint32_t* dest, const uint32_t* source, const uint32_t*, int n) {
  std::memmove(dest, source, static_cast<size_t>(n) * sizeof *dest);
}

void CopyPattern(uint8_t, uint32_t* dest, const uint32_t*, const uint32_t* pattern, int n) {
  std::memcpy(dest, pattern, static_cast<size_t>(n) * sizeof *dest);
}

template <uint32_t Rgb>
void Fill(uint8_t, uint32_t* dest, const uint32_t*, const uint32_t*, int n) {
  std::fill(dest, dest + n, Rgb);
}

void General(uint8_t code, uint32_t* dest, const uint32_t* source, const uint32_t* pattern, int n) {
  for (int i = 0; i < n; ++i) dest[i] = Rop3(code, pattern ? pattern[i] : 0, source ? source[i] : 0, dest[i]);
}

struct NamedOp {
  DWORD rop;
  RowOp row;
};

constexpr NamedOp kNamedOps[] = {
    {SRCCOPY, CopySource},                                                            // S
    {SRCPAINT, Rows<RopCode(SRCPAINT), [](uint32_t, uint32_t s, uint32_t d) { return s | d; }>},
    {SRCAND, Rows<RopCode(SRCAND), [](uint32_t, uint32_t s, uint32_t d) { return s & d; }>},
    {SRCINVERT, Rows<RopCode(SRCINVERT), [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }>},
    {SRCERASE, Rows<RopCode(SRCERASE), [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }>},
    {NOTSRCCOPY, Rows<RopCode(NOTSRCCOPY), [](uint32_t, uint32_t s, uint32_t) { return ~s; }>},
    {NOTSRCERASE, Rows<RopCode(NOTSRCERASE), [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }>},
    {MERGECOPY, Rows<RopCode(MERGECOPY), [](uint32_t p, uint32_t s, uint32_t) { return p & s; }>},
    {MERGEPAINT, Rows<RopCode(MERGEPAINT), [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }>},
    {PATCOPY, CopyPattern},                                                           // P
    {PATPAINT, Rows<RopCode(PATPAINT), [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }>},
    {PATINVERT, Rows<RopCode(PATINVERT), [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }>},
    {DSTINVERT, Rows<RopCode(DSTINVERT), [](uint32_t, uint32_t, uint32_t d) { return ~d; }>},
    {BLACKNESS, Fill<0x000000>},
    {WHITENESS, Fill<0xFFFFFF>},
};

const NamedOp* FindNamed(uint8_t code) {
  for (const NamedOp& op : kNamedOps)
    if (RopCode(op.rop) == code) return &op;
  return nullptr;
}

}  // namespace

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

RasterOp FindRasterOp(DWORD rop) {
  uint8_t code = RopCode(rop);
  const NamedOp* named = FindNamed(code);
  return RasterOp{code, RopUsesSource(code), RopUsesPattern(code), named ? named->row : General};
}

bool HasNamedRow(uint8_t code) { return FindNamed(code) != nullptr; }

}  // namespace wce::gdi
