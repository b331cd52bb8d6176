#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "gdi/raster_ops.h"
#include "gdi/span_kernels.h"
#include "gdi_fixture.h"

namespace {

using Raster = gditest::GdiTest;
using gditest::Fill;
using wce::gdi::ChooseSpanKernel;
using wce::gdi::FindRasterOp;
using wce::gdi::Rop3;

struct NamedCase {
  DWORD rop;
  const char* name;
  COLORREF (*expect)(COLORREF p, COLORREF s, COLORREF d);
};

// The platform's definitions on COLORREF values (the operations work bit by
// bit, so the channel order does not matter).
const NamedCase kNamed[] = {
    {SRCCOPY, "SRCCOPY", [](COLORREF, COLORREF s, COLORREF) { return s; }},
    {SRCPAINT, "SRCPAINT", [](COLORREF, COLORREF s, COLORREF d) { return s | d; }},
    {SRCAND, "SRCAND", [](COLORREF, COLORREF s, COLORREF d) { return s & d; }},
    {SRCINVERT, "SRCINVERT", [](COLORREF, COLORREF s, COLORREF d) { return s ^ d; }},
    {SRCERASE, "SRCERASE", [](COLORREF, COLORREF s, COLORREF d) { return s & ~d; }},
    {NOTSRCCOPY, "NOTSRCCOPY", [](COLORREF, COLORREF s, COLORREF) { return ~s; }},
    {NOTSRCERASE, "NOTSRCERASE", [](COLORREF, COLORREF s, COLORREF d) { return ~(s | d); }},
    {MERGECOPY, "MERGECOPY", [](COLORREF p, COLORREF s, COLORREF) { return p & s; }},
    {MERGEPAINT, "MERGEPAINT", [](COLORREF, COLORREF s, COLORREF d) { return ~s | d; }},
    {PATCOPY, "PATCOPY", [](COLORREF p, COLORREF, COLORREF) { return p; }},
    {PATPAINT, "PATPAINT", [](COLORREF p, COLORREF s, COLORREF d) { return p | ~s | d; }},
    {PATINVERT, "PATINVERT", [](COLORREF p, COLORREF, COLORREF d) { return p ^ d; }},
    {DSTINVERT, "DSTINVERT", [](COLORREF, COLORREF, COLORREF d) { return ~d; }},
    {BLACKNESS, "BLACKNESS", [](COLORREF, COLORREF, COLORREF) { return COLORREF{0}; }},
    {WHITENESS, "WHITENESS", [](COLORREF, COLORREF, COLORREF) { return COLORREF{0xFFFFFF}; }},
    {0x00E20746, "DSPDxax, no row of its own", [](COLORREF p, COLORREF s, COLORREF d) { return ((p ^ d) & s) ^ d; }},
};

TEST_F(Raster, EveryOperationGivesItsDefinitionOnKnownPixels) {
  const std::vector<COLORREF> dest = {0x000000, 0xFFFFFF, 0x123456, 0xA5C3F0};
  const std::vector<COLORREF> source = {0xFFFFFF, 0x0F0F0F, 0x654321, 0x5A3C0F};
  const COLORREF pattern = RGB(0x99, 0xCC, 0x33);
  HDC src = MemoryDC(4, 1);
  SetPixels(src, 4, source);
  HDC dst = MemoryDC(4, 1);
  SelectObject(dst, CreateSolidBrush(pattern));
  for (const NamedCase& c : kNamed) {
    SetPixels(dst, 4, dest);
    ASSERT_TRUE(BitBlt(dst, 0, 0, 4, 1, src, 0, 0, c.rop)) << c.name;
    std::vector<COLORREF> got = Pixels(dst, 4, 1);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(got[i], c.expect(pattern, source[i], dest[i]) & 0xFFFFFF) << c.name << " pixel " << i;
  }
}

// The kernels of every code, with and without a column map, must match the
// truth table of their code.
TEST_F(Raster, EveryKernelAgreesWithItsTruthTable) {
  std::mt19937 random(7);
  const int32_t columns[16] = {15, 0, 3, 3, 7, 1, 9, 2, 2, 14, 5, 6, 11, 0, 8, 4};
  for (int code = 0; code < 256; ++code) {
    for (bool mapped : {false, true}) {
      auto op = FindRasterOp(static_cast<DWORD>(code) << 16);
      uint32_t d[16], s[16], p[16], expect[16];
      for (int i = 0; i < 16; ++i) {
        d[i] = random() & 0xFFFFFF;
        s[i] = random() & 0xFFFFFF;
        p[i] = random() & 0xFFFFFF;
      }
      for (int i = 0; i < 16; ++i) {
        uint32_t source = mapped ? s[columns[i]] : s[i];
        expect[i] = Rop3(op.code, op.usesPattern ? p[i] : 0, op.usesSource ? source : 0, d[i]);
      }
      wce::gdi::Span span{d, op.usesSource ? s : nullptr, mapped ? columns : nullptr, op.usesPattern ? p : nullptr,
                          16};
      ChooseSpanKernel(wce::gdi::SpanKind::Raster, op.code, mapped)(wce::gdi::SpanParams{op.code, 0, 0}, span);
      for (int i = 0; i < 16; ++i)
        ASSERT_EQ(d[i], expect[i]) << "code " << code << (mapped ? " mapped" : "") << " pixel " << i;
    }
  }
}

TEST_F(Raster, SourceAndPatternAreUsedOnlyWhereTheOperationNeedsThem) {
  HDC dst = MemoryDC(2, 1, RGB(0, 0, 0));
  SelectObject(dst, GetStockObject(GRAY_BRUSH));
  EXPECT_TRUE(BitBlt(dst, 0, 0, 1, 1, reinterpret_cast<HDC>(uintptr_t{0x5678}), 0, 0, PATCOPY));
  EXPECT_EQ(GetPixel(dst, 0, 0), RGB(128, 128, 128)) << "a junk source is ignored";
  EXPECT_FALSE(BitBlt(dst, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(PatBlt(dst, 0, 0, 1, 1, SRCCOPY)) << "PatBlt has no source to give";
  SelectObject(dst, GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(dst, 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(GetPixel(dst, 0, 0), RGB(128, 128, 128)) << "the null brush lays nothing down";
  EXPECT_TRUE(PatBlt(dst, 0, 0, 2, 1, DSTINVERT));
  EXPECT_EQ(GetPixel(dst, 1, 0), RGB(255, 255, 255)) << "operations without a pattern still run";
}

TEST_F(Raster, FillRectIncludesLeftAndTopAndLeavesOutRightAndBottom) {
  HDC dc = MemoryDC(6, 6, RGB(255, 255, 255));
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT r{1, 2, 4, 5};
  EXPECT_NE(FillRect(dc, &r, black), 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(GetPixel(dc, x, y), (x >= 1 && x < 4 && y >= 2 && y < 5) ? RGB(0, 0, 0) : RGB(255, 255, 255))
          << x << "," << y;

  Fill(dc, RECT{0, 0, 6, 6}, RGB(255, 255, 255));
  for (RECT empty : {RECT{3, 3, 3, 5}, RECT{4, 4, 2, 5}, RECT{4, 4, 5, 2}}) EXPECT_NE(FillRect(dc, &empty, black), 0);
  RECT all{0, 0, 6, 6};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  for (COLORREF c : Pixels(dc, 6, 6)) ASSERT_EQ(c, RGB(255, 255, 255)) << "empty rectangles and the null brush";
  Fill(dc, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RGB(0, 255, 0));
  for (COLORREF c : Pixels(dc, 6, 6)) ASSERT_EQ(c, RGB(0, 255, 0)) << "the widest rectangle, clipped";
}

TEST_F(Raster, CopiesAreClippedAtEveryEdgeOfSourceAndDestination) {
  const int dw = 5, dh = 4, sw = 4, sh = 3;
  const std::vector<COLORREF> destStart = Numbered(dw * dh, 0x100000);
  const std::vector<COLORREF> source = Numbered(sw * sh, 0x200000);
  HDC src = MemoryDC(sw, sh);
  SetPixels(src, sw, source);
  HDC dst = MemoryDC(dw, dh);
  for (int dx = -5; dx <= 5; ++dx)
    for (int dy = -4; dy <= 4; dy += 2)
      for (int sx = -4; sx <= 4; sx += 2)
        for (int sy = -3; sy <= 3; ++sy) {
          // Pixels whose source or destination lies outside its bitmap stay as they were.
          std::vector<COLORREF> expect = destStart;
          for (int y = std::max(dy, 0); y < std::min(dy + 4, dh); ++y)
            for (int x = std::max(dx, 0); x < std::min(dx + 4, dw); ++x) {
              int fx = x - dx + sx, fy = y - dy + sy;
              if (fx >= 0 && fy >= 0 && fx < sw && fy < sh) expect[y * dw + x] = source[fy * sw + fx];
            }
          SetPixels(dst, dw, destStart);
          ASSERT_TRUE(BitBlt(dst, dx, dy, 4, 4, src, sx, sy, SRCCOPY));
          ASSERT_EQ(Pixels(dst, dw, dh), expect) << "to " << dx << "," << dy << " from " << sx << "," << sy;
        }
}

TEST_F(Raster, NegativeExtentsCoverTheSameRectangleAndHugeOnesDoNotOverflow) {
  HDC src = MemoryDC(4, 4);
  SetPixels(src, 4, Numbered(16, 0x300000));
  HDC a = MemoryDC(4, 4, RGB(0, 0, 0));
  HDC b = MemoryDC(4, 4, RGB(0, 0, 0));
  BitBlt(a, 1, 1, 2, 3, src, 0, 1, SRCCOPY);
  BitBlt(b, 2, 3, -2, -3, src, 1, 3, SRCCOPY);  // a negative extent includes its origin: [x + w + 1, x + 1)
  EXPECT_EQ(Pixels(a, 4, 4), Pixels(b, 4, 4));
  EXPECT_EQ(GetPixel(a, 1, 1), 0x300004u);

  std::vector<COLORREF> before = Pixels(a, 4, 4);
  EXPECT_TRUE(BitBlt(a, INT_MAX - 1, 0, INT_MAX, 4, src, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(a, 0, 0, 4, 4, src, INT_MIN, INT_MIN, SRCCOPY));
  EXPECT_TRUE(BitBlt(a, INT_MIN, INT_MIN, -5, INT_MIN, src, INT_MAX, 0, SRCINVERT));
  EXPECT_EQ(Pixels(a, 4, 4), before) << "nothing of those lands inside";
  EXPECT_TRUE(PatBlt(a, INT_MAX, INT_MAX, INT_MIN, INT_MIN, WHITENESS));  // [-1, INT_MAX) both ways
  for (COLORREF c : Pixels(a, 4, 4)) ASSERT_EQ(c, RGB(255, 255, 255));
}

TEST_F(Raster, OverlappingCopiesInOneBitmapReadTheSourceAsItWas) {
  const std::vector<COLORREF> start = Numbered(8, 0);
  HDC row = MemoryDC(8, 1);
  HDC column = MemoryDC(1, 8);
  struct Move {
    HDC dc;
    int to, from, n;
    std::vector<COLORREF> expect;
  };
  const Move moves[] = {
      {row, 2, 0, 5, {0, 1, 0, 1, 2, 3, 4, 7}},     // right
      {row, 0, 2, 5, {2, 3, 4, 5, 6, 5, 6, 7}},     // left
      {column, 3, 0, 5, {0, 1, 2, 0, 1, 2, 3, 4}},  // down
      {column, 0, 3, 5, {3, 4, 5, 6, 7, 5, 6, 7}},  // up
  };
  for (const Move& m : moves) {
    bool across = m.dc == row;
    SetPixels(m.dc, across ? 8 : 1, start);
    if (across)
      BitBlt(m.dc, m.to, 0, m.n, 1, m.dc, m.from, 0, SRCCOPY);
    else
      BitBlt(m.dc, 0, m.to, 1, m.n, m.dc, 0, m.from, SRCCOPY);
    EXPECT_EQ(Pixels(m.dc, across ? 8 : 1, across ? 1 : 8), m.expect) << m.from << " -> " << m.to;
  }
  // An operation that also reads the destination still sees every source pixel unchanged.
  SetPixels(row, 8, start);
  BitBlt(row, 1, 0, 7, 1, row, 0, 0, SRCINVERT);
  EXPECT_EQ(Pixels(row, 8, 1), (std::vector<COLORREF>{0, 1, 3, 1, 7, 1, 3, 1}));
}

TEST_F(Raster, SinglePixelsOutsideTheBitmapReadInvalidAndDoNotWrite) {
  HDC dc = MemoryDC(3, 2, RGB(10, 20, 30));
  EXPECT_EQ(SetPixel(dc, 2, 1, 0x01ABCDEF), RGB(0xEF, 0xCD, 0xAB)) << "the flag byte is no colour";
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0xEF, 0xCD, 0xAB));
  for (POINT p : {POINT{-1, 0}, POINT{3, 0}, POINT{0, -1}, POINT{0, 2}, POINT{INT_MIN, INT_MAX}}) {
    EXPECT_EQ(GetPixel(dc, p.x, p.y), CLR_INVALID) << p.x << "," << p.y;
    EXPECT_EQ(SetPixel(dc, p.x, p.y, 0), CLR_INVALID) << p.x << "," << p.y;
  }
}

}  // namespace
