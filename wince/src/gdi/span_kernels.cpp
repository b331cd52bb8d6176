#include "gdi/span_kernels.h"

#include <algorithm>
#include <cstring>

#include "gdi/raster_ops.h"
#include "gdi/tools.h"

namespace wce::gdi {
namespace {

using PixelOp = uint32_t (*)(uint32_t p, uint32_t s, uint32_t d);

// The span's fields as locals: stores through dest may not alias them.
struct SpanView {
  explicit SpanView(const Span& s) : dest(s.dest), source(s.source), columns(s.columns), pattern(s.pattern), n(s.n) {}
  uint32_t* __restrict dest;
  const uint32_t* __restrict source;
  const int32_t* __restrict columns;
  const uint32_t* __restrict pattern;
  int n;
};

template <bool Mapped>
inline uint32_t SourceAt(const SpanView& span, int i) {
  if constexpr (Mapped) return span.source[span.columns[i]];
  return span.source[i];
}

// A raster operation written as its pixel function; source and pattern are
// read only when the code depends on them.
template <uint8_t Code, PixelOp Op, bool Mapped>
void RopSpan(const SpanParams&, const Span& s) {
  constexpr bool kS = RopUsesSource(Code);
  constexpr bool kP = RopUsesPattern(Code);
  const SpanView span(s);
  uint32_t* __restrict dest = span.dest;
  for (int i = 0; i < span.n; ++i)
    dest[i] = Op(kP ? span.pattern[i] : 0, kS ? SourceAt<Mapped>(span, i) : 0, dest[i]) & kRgbMask;
}

template <bool Mapped>
void CopySpan(const SpanParams&, const Span& span) {
  if constexpr (!Mapped) {
    std::memmove(span.dest, span.source, static_cast<size_t>(span.n) * sizeof *span.dest);
  } else {
    // Locals, so that stores through dest need not reload the span.
    uint32_t* __restrict dest = span.dest;
    const uint32_t* __restrict source = span.source;
    const int32_t* __restrict columns = span.columns;
    const int n = span.n;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
      uint32_t a = source[columns[i]], b = source[columns[i + 1]];
      uint32_t c = source[columns[i + 2]], d = source[columns[i + 3]];
      dest[i] = a;
      dest[i + 1] = b;
      dest[i + 2] = c;
      dest[i + 3] = d;
    }
    for (; i < n; ++i) dest[i] = source[columns[i]];
  }
}

template <bool>
void PatternSpan(const SpanParams&, const Span& span) {
  std::memcpy(span.dest, span.pattern, static_cast<size_t>(span.n) * sizeof *span.dest);
}

template <uint32_t Rgb>
void FillSpan(const SpanParams&, const Span& span) {
  std::fill(span.dest, span.dest + span.n, Rgb);
}

// Every other code, from its truth table.
template <bool Mapped>
void TruthTableSpan(const SpanParams& params, const Span& s) {
  const SpanView span(s);
  for (int i = 0; i < span.n; ++i) {
    uint32_t s = span.source ? SourceAt<Mapped>(span, i) : 0;
    uint32_t p = span.pattern ? span.pattern[i] : 0;
    span.dest[i] = Rop3(params.code, p, s, span.dest[i]);
  }
}

template <bool Mapped>
void KeyedSpan(const SpanParams& params, const Span& s) {
  const SpanView span(s);
  const uint32_t key = params.key;
  for (int i = 0; i < span.n; ++i) {
    uint32_t s = SourceAt<Mapped>(span, i);
    if (s != key) span.dest[i] = s;
  }
}

// Red and blue side by side in 16-bit lanes, then green: every sum stays
// below 65536, and (x + 1 + (x >> 8)) >> 8 is x / 255 for x up to 65152.
template <bool Mapped>
void BlendSpan(const SpanParams& params, const Span& s) {
  const SpanView span(s);
  const uint32_t a = params.alpha, b = 255 - a;
  constexpr uint32_t kLanes = 0x00FF00FF, kHalf = 0x007F007F, kOne = 0x00010001;
  for (int i = 0; i < span.n; ++i) {
    const uint32_t src = SourceAt<Mapped>(span, i), dst = span.dest[i];
    uint32_t rb = (src & kLanes) * a + (dst & kLanes) * b + kHalf;
    uint32_t g = ((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * b + 127;
    rb = ((rb + kOne + ((rb >> 8) & kLanes)) >> 8) & kLanes;
    g = ((g + 1 + (g >> 8)) >> 8) & 0xFF;
    span.dest[i] = rb | (g << 8);
  }
}

struct KernelPair {
  SpanKernel direct;
  SpanKernel mapped;
};


template <uint8_t Code, PixelOp Op>
constexpr KernelPair Rop() {
  return {RopSpan<Code, Op, false>, RopSpan<Code, Op, true>};
}

struct NamedOp {
  DWORD rop;
  KernelPair kernels;
};

// The operations the program and the platform name, as data.
constexpr NamedOp kNamedOps[] = {
    {SRCCOPY, {CopySpan<false>, CopySpan<true>}},
    {SRCPAINT, Rop<RopCode(SRCPAINT), [](uint32_t, uint32_t s, uint32_t d) { return s | d; }>()},
    {SRCAND, Rop<RopCode(SRCAND), [](uint32_t, uint32_t s, uint32_t d) { return s & d; }>()},
    {SRCINVERT, Rop<RopCode(SRCINVERT), [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }>()},
    {SRCERASE, Rop<RopCode(SRCERASE), [](uint32_t, uint32_t s, uint32_t d) { return s & ~d; }>()},
    {NOTSRCCOPY, Rop<RopCode(NOTSRCCOPY), [](uint32_t, uint32_t s, uint32_t) { return ~s; }>()},
    {NOTSRCERASE, Rop<RopCode(NOTSRCERASE), [](uint32_t, uint32_t s, uint32_t d) { return ~(s | d); }>()},
    {MERGECOPY, Rop<RopCode(MERGECOPY), [](uint32_t p, uint32_t s, uint32_t) { return p & s; }>()},
    {MERGEPAINT, Rop<RopCode(MERGEPAINT), [](uint32_t, uint32_t s, uint32_t d) { return ~s | d; }>()},
    {PATCOPY, {PatternSpan<false>, PatternSpan<true>}},
    {PATPAINT, Rop<RopCode(PATPAINT), [](uint32_t p, uint32_t s, uint32_t d) { return p | ~s | d; }>()},
    {PATINVERT, Rop<RopCode(PATINVERT), [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }>()},
    {DSTINVERT, Rop<RopCode(DSTINVERT), [](uint32_t, uint32_t, uint32_t d) { return ~d; }>()},
    {BLACKNESS, {FillSpan<0x000000>, FillSpan<0x000000>}},
    {WHITENESS, {FillSpan<kWhite>, FillSpan<kWhite>}},
};

const NamedOp* FindNamed(uint8_t code) {
  for (const NamedOp& op : kNamedOps)
    if (RopCode(op.rop) == code) return &op;
  return nullptr;
}

}  // namespace

SpanKernel ChooseSpanKernel(SpanKind kind, uint8_t code, bool mappedColumns) {
  KernelPair pair{TruthTableSpan<false>, TruthTableSpan<true>};
  switch (kind) {
    case SpanKind::Keyed: pair = {KeyedSpan<false>, KeyedSpan<true>}; break;
    case SpanKind::Blend: pair = {BlendSpan<false>, BlendSpan<true>}; break;
    case SpanKind::Raster:
      if (const NamedOp* named = FindNamed(code)) pair = named->kernels;
      break;
  }
  return mappedColumns ? pair.mapped : pair.direct;
}

}  // namespace wce::gdi
