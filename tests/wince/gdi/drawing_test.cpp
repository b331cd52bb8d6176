// Pattern brushes, gradients, lines, bitmaps made from bits, and the
// rectangle helpers. Expected pictures are written by hand or from the
// platform's formulas.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "gdi/lines.h"
#include "gdi_fixture.h"
#include "image_compare.h"

namespace {

using jptest::Image;
using jptest::ImageFromRows;
using jptest::ImageOfDC;
using jptest::ImagesMatch;

using Drawing = gditest::GdiTest;

const std::map<char, uint32_t> kPalette = {
    {'.', 0x000000}, {'#', 0xFFFFFF}, {'r', 0xFF0000}, {'g', 0x00FF00}, {'b', 0x0000FF}, {'w', 0xA0B0C0}};

TEST_F(Drawing, PatternBrushesTileFromTheBrushOrigin) {
  // A 3 x 2 pattern: r g b over . # r
  HBITMAP bits = CreateBitmap(3, 2, 1, 32, std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF, 0xFF0000}.data());
  HBRUSH brush = CreatePatternBrush(bits);
  ASSERT_NE(brush, nullptr);
  EXPECT_TRUE(DeleteObject(bits)) << "the brush keeps its own copy";
  LOGBRUSH info{};
  ASSERT_EQ(GetObjectW(brush, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.lbStyle, static_cast<UINT>(BS_PATTERN));

  const struct {
    POINT origin;
    std::vector<std::string> expect;
  } cases[] = {
      {{0, 0}, {"rgbrg", ".#r.#", "rgbrg"}},
      {{1, 0}, {"brgbr", "r.#r.", "brgbr"}},
      {{-1, 1}, {"#r.#r", "gbrgb", "#r.#r"}},
      {{5, 3}, {"#r.#r", "gbrgb", "#r.#r"}},  // the same as (-1, 1), a whole pattern further
  };
  for (const auto& c : cases) {
    HDC dc = MemoryDC(5, 3);
    SelectObject(dc, brush);
    SetBrushOrgEx(dc, c.origin.x, c.origin.y, nullptr);
    EXPECT_TRUE(PatBlt(dc, 0, 0, 5, 3, PATCOPY));
    EXPECT_TRUE(ImagesMatch(ImageOfDC(dc, 5, 3), ImageFromRows(c.expect, kPalette))) << c.origin.x << "," << c.origin.y;
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
  }

  // A monochrome pattern takes the DC's text (0) and background (1) colours.
  HBITMAP check = CreateBitmap(2, 1, 1, 1, std::vector<uint8_t>{0x40, 0}.data());  // 0 1
  HBRUSH mono = CreatePatternBrush(check);
  HDC dc = MemoryDC(4, 1);
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkColor(dc, RGB(0, 0, 255));
  RECT all{0, 0, 4, 1};
  FillRect(dc, &all, mono);
  EXPECT_TRUE(ImagesMatch(ImageOfDC(dc, 4, 1), ImageFromRows({"rbrb"}, kPalette)));
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
  EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(mono)), nullptr);
}

TEST_F(Drawing, GradientsRunBetweenOrderedVerticesAndStopShortOfTheEnd) {
  auto vertex = [](LONG x, LONG y, COLORREF c) {
    return TRIVERTEX{x, y, static_cast<COLOR16>(GetRValue(c) << 8), static_cast<COLOR16>(GetGValue(c) << 8),
                     static_cast<COLOR16>(GetBValue(c) << 8), 0};
  };
  // Channel at pos of len: ((c0 * (len - pos) + c1 * pos) / len) / 256.
  auto channel = [](int c0, int c1, int pos, int len) { return ((c0 * 256 * (len - pos) + c1 * 256 * pos) / len) / 256; };
  const struct {
    const char* name;
    TRIVERTEX a, b;
    ULONG mode;
    bool reversed;  // the vertices come right to left (bottom to top)
  } cases[] = {
      {"across", vertex(1, 1, RGB(0, 10, 255)), vertex(6, 3, RGB(255, 20, 0)), GRADIENT_FILL_RECT_H, false},
      {"across, given backwards", vertex(6, 3, RGB(255, 20, 0)), vertex(1, 1, RGB(0, 10, 255)), GRADIENT_FILL_RECT_H, false},
      {"down", vertex(2, 0, RGB(0, 0, 0)), vertex(4, 5, RGB(200, 100, 50)), GRADIENT_FILL_RECT_V, false},
      {"down, corners crossed", vertex(4, 0, RGB(0, 0, 0)), vertex(2, 5, RGB(200, 100, 50)), GRADIENT_FILL_RECT_V, false},
  };
  for (const auto& c : cases) {
    HDC dc = MemoryDC(8, 6, RGB(0xA0, 0xB0, 0xC0));
    TRIVERTEX v[2] = {c.a, c.b};
    GRADIENT_RECT r{0, 1};
    ASSERT_TRUE(GradientFill(dc, v, 2, &r, 1, c.mode)) << c.name;
    const TRIVERTEX& first = (c.mode == GRADIENT_FILL_RECT_H ? c.a.x <= c.b.x : c.a.y <= c.b.y) ? c.a : c.b;
    const TRIVERTEX& second = &first == &c.a ? c.b : c.a;
    Image expect(8, 6, 0xA0B0C0);
    const int left = std::min(c.a.x, c.b.x), right = std::max(c.a.x, c.b.x);
    const int top = std::min(c.a.y, c.b.y), bottom = std::max(c.a.y, c.b.y);
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        bool h = c.mode == GRADIENT_FILL_RECT_H;
        int pos = h ? x - left : y - top, len = h ? right - left : bottom - top;
        expect.At(x, y) = (channel(first.Red >> 8, second.Red >> 8, pos, len) << 16) |
                          (channel(first.Green >> 8, second.Green >> 8, pos, len) << 8) |
                          channel(first.Blue >> 8, second.Blue >> 8, pos, len);
      }
    EXPECT_TRUE(ImagesMatch(ImageOfDC(dc, 8, 6), expect, 0, c.name)) << c.name;
  }
  // The end values by hand: the first column is the first colour, the last falls short of the second.
  HDC dc = MemoryDC(4, 1);
  TRIVERTEX v[2] = {vertex(0, 0, RGB(0, 0, 0)), vertex(4, 1, RGB(255, 255, 255))};
  GRADIENT_RECT r{0, 1};
  GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_H);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(191, 191, 191));  // 65280 * 3 / 4 / 256

  GRADIENT_RECT bad{0, 2};
  EXPECT_FALSE(GradientFill(dc, v, 2, &bad, 1, GRADIENT_FILL_RECT_H)) << "vertex out of range";
  EXPECT_FALSE(GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_TRIANGLE)) << "triangles are not drawn";
  EXPECT_FALSE(GradientFill(nullptr, v, 2, &r, 1, GRADIENT_FILL_RECT_H));
}

TEST_F(Drawing, LinesLeaveOutTheirEndPointAndMoveThePosition) {
  HDC dc = MemoryDC(6, 4, RGB(0xA0, 0xB0, 0xC0));
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  SelectObject(dc, red);
  POINT previous{-1, -1};
  EXPECT_TRUE(MoveToEx(dc, 0, 0, &previous));
  EXPECT_EQ(previous.x, 0);
  EXPECT_TRUE(LineTo(dc, 5, 0));  // across
  EXPECT_TRUE(LineTo(dc, 5, 3));  // down from where it stopped
  EXPECT_TRUE(LineTo(dc, 2, 3));  // back
  EXPECT_TRUE(LineTo(dc, 0, 1));  // up and left, shallow
  EXPECT_TRUE(ImagesMatch(ImageOfDC(dc, 6, 4), ImageFromRows({"rrrrrr", "wwwwwr", "wrwwwr", "wwrrrr"}, kPalette)));
  MoveToEx(dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 1);

  LOGPEN none{PS_NULL, POINT{1, 0}, 0};
  SelectObject(dc, CreatePenIndirect(&none));
  LineTo(dc, 5, 3);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0xA0, 0xB0, 0xC0)) << "the null pen draws nothing";
  EXPECT_EQ(CreatePen(7, 1, 0), nullptr);
  EXPECT_EQ(CreatePenIndirect(nullptr), nullptr);
  EXPECT_FALSE(LineTo(nullptr, 1, 1));
  EXPECT_FALSE(MoveToEx(nullptr, 1, 1, nullptr));
}

// Every line is the closed form of the walk: step k of a line whose major
// extent is M and minor extent m moves ceil((2km + bias - M) / 2M) across,
// the bias being 1 in octants 3, 5, 6 and 8. Drawn lines, clipped or not,
// hold exactly those points.
TEST_F(Drawing, LinesHoldTheirClosedFormPointsWhereverTheyAreClipped) {
  std::mt19937 random(99);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  auto ceilDiv = [](int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); };
  HDC dc = MemoryDC(16, 12);
  SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  for (int round = 0; round < 400; ++round) {
    POINT a{pick(-6, 21), pick(-6, 17)}, b{pick(-6, 21), pick(-6, 17)};
    gditest::Fill(dc, RECT{0, 0, 16, 12}, RGB(255, 255, 255));
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
    int64_t dx = b.x - a.x, dy = b.y - a.y;
    bool xMajor = std::llabs(dx) > std::llabs(dy);
    int64_t major = xMajor ? std::llabs(dx) : std::llabs(dy), minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    int octant = dy > 0 ? (dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3)) : (dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7));
    int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    Image expect(16, 12, 0xFFFFFF);
    for (int64_t k = 0; k < major; ++k) {
      int64_t n = ceilDiv(2 * k * minor + bias - major, 2 * major);
      int64_t x = a.x + (xMajor ? k : n) * (dx < 0 ? -1 : 1), y = a.y + (xMajor ? n : k) * (dy < 0 ? -1 : 1);
      if (x >= 0 && y >= 0 && x < 16 && y < 12) expect.At(static_cast<int>(x), static_cast<int>(y)) = 0;
    }
    ASSERT_TRUE(ImagesMatch(ImageOfDC(dc, 16, 12), expect)) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
  }
  // A line from far away costs only its part on the bitmap.
  gditest::Fill(dc, RECT{0, 0, 16, 12}, RGB(255, 255, 255));
  MoveToEx(dc, INT_MIN, 5, nullptr);
  LineTo(dc, INT_MAX, 5);
  EXPECT_EQ(GetPixel(dc, 15, 5), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 15, 4), RGB(255, 255, 255));
}

TEST_F(Drawing, CreateBitmapReadsWordAlignedRowsOfBits) {
  // 1 bit per pixel, rows padded to 16 bits, bit 1 white; 32 bits as B, G, R, x.
  const uint8_t mono[] = {0xA0, 0x00, 0x50, 0x00};  // # . # . / . # . #
  const uint32_t colour[] = {0x00112233, 0x00445566};
  Image colourImage(2, 1);
  colourImage.pixels = {0x112233, 0x445566};
  const struct {
    const char* name;
    int w, h, bits;
    const void* data;
    Image expect;
    LONG widthBytes;
  } cases[] = {
      {"monochrome", 4, 2, 1, mono, ImageFromRows({"#.#.", ".#.#"}, kPalette), 2},
      {"32-bit", 2, 1, 32, colour, colourImage, 8},
      {"no bits: black", 3, 1, 32, nullptr, Image(3, 1, 0), 12},
  };
  for (const auto& c : cases) {
    HBITMAP bitmap = CreateBitmap(c.w, c.h, 1, c.bits, c.data);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << c.name;
    EXPECT_EQ(info.bmBitsPixel, c.bits) << c.name;
    EXPECT_EQ(info.bmWidthBytes, c.widthBytes) << c.name;
    EXPECT_EQ(info.bmBits, nullptr) << c.name;
    EXPECT_TRUE(ImagesMatch(jptest::ImageOfBitmap(bitmap), c.expect)) << c.name;
  }
  HGDIOBJ stock = GetCurrentObject(CreateCompatibleDC(nullptr), OBJ_BITMAP);
  EXPECT_EQ(CreateBitmap(0, 4, 1, 1, nullptr), stock);
  for (auto [w, h, planes, bits] : {std::array{-1, 1, 1, 1}, {1, 1, 2, 1}, {1, 1, 1, 8}, {1, 1, 1, 0}})
    EXPECT_EQ(CreateBitmap(w, h, planes, bits, nullptr), nullptr) << w << " " << planes << " " << bits;
}

TEST_F(Drawing, NewCallsFailOnBadHandles) {
  HDC good = MemoryDC(2, 2);
  HDC bad = reinterpret_cast<HDC>(uintptr_t{0x4321});
  TRIVERTEX v[2] = {};
  GRADIENT_RECT r{0, 1};
  EXPECT_FALSE(StretchBlt(bad, 0, 0, 1, 1, good, 0, 0, 1, 1, SRCCOPY));
  EXPECT_FALSE(StretchBlt(good, 0, 0, 1, 1, bad, 0, 0, 1, 1, SRCCOPY));
  EXPECT_TRUE(StretchBlt(good, 0, 0, 1, 1, bad, 0, 0, 1, 1, PATCOPY)) << "no source needed";
  EXPECT_FALSE(TransparentImage(bad, 0, 0, 1, 1, good, 0, 0, 1, 1, 0));
  EXPECT_FALSE(TransparentImage(good, 0, 0, 1, 1, bad, 0, 0, 1, 1, 0));
  EXPECT_FALSE(GradientFill(bad, v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  EXPECT_FALSE(LineTo(bad, 0, 0));
  EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(good)), nullptr);
}

TEST(Rectangles, HelpersGiveThePlatformsResults) {
  RECT r{};
  EXPECT_TRUE(SetRect(&r, 1, 2, 5, 6));
  EXPECT_TRUE(InflateRect(&r, -1, 2));
  EXPECT_TRUE(EqualRect(&r, std::array<RECT, 1>{RECT{2, 0, 4, 8}}.data()));
  EXPECT_TRUE(OffsetRect(&r, -2, 1));
  EXPECT_TRUE(EqualRect(&r, std::array<RECT, 1>{RECT{0, 1, 2, 9}}.data()));
  EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));

  const struct {
    POINT p;
    bool inside;
  } points[] = {{{0, 1}, true}, {{1, 8}, true}, {{2, 1}, false}, {{0, 9}, false}, {{-1, 1}, false}};
  for (const auto& c : points) EXPECT_EQ(PtInRect(&r, c.p), c.inside) << c.p.x << "," << c.p.y;

  const struct {
    RECT a, b;
    BOOL intersects;
    RECT intersection;
    BOOL unites;
    RECT union_;
  } pairs[] = {
      {{0, 0, 4, 4}, {2, 2, 6, 6}, TRUE, {2, 2, 4, 4}, TRUE, {0, 0, 6, 6}},
      {{0, 0, 2, 2}, {2, 0, 4, 2}, FALSE, {0, 0, 0, 0}, TRUE, {0, 0, 4, 2}},  // touching edges share nothing
      {{0, 0, 4, 4}, {1, 1, 1, 3}, FALSE, {0, 0, 0, 0}, TRUE, {0, 0, 4, 4}},  // an empty one adds nothing
      {{5, 5, 3, 9}, {1, 1, 1, 3}, FALSE, {0, 0, 0, 0}, FALSE, {0, 0, 0, 0}},
  };
  for (const auto& c : pairs) {
    RECT out{7, 7, 7, 7};
    EXPECT_EQ(IntersectRect(&out, &c.a, &c.b), c.intersects);
    EXPECT_TRUE(EqualRect(&out, &c.intersection)) << out.left << "," << out.top << "," << out.right << "," << out.bottom;
    EXPECT_EQ(UnionRect(&out, &c.a, &c.b), c.unites);
    EXPECT_TRUE(EqualRect(&out, &c.union_)) << out.left << "," << out.top << "," << out.right << "," << out.bottom;
  }
  for (RECT empty : {RECT{0, 0, 0, 5}, RECT{3, 3, 2, 4}, RECT{0, 4, 1, 4}}) EXPECT_TRUE(IsRectEmpty(&empty));
  EXPECT_TRUE(IsRectEmpty(nullptr));
  EXPECT_TRUE(SetRectEmpty(&r));
  EXPECT_TRUE(IsRectEmpty(&r));
  RECT huge{INT_MIN, 0, INT_MAX, 1};
  EXPECT_TRUE(InflateRect(&huge, 1, 0));
  EXPECT_EQ(huge.left, INT_MAX) << "wraps as 32-bit arithmetic";
  RECT copy{};
  EXPECT_TRUE(CopyRect(&copy, &huge));
  EXPECT_TRUE(EqualRect(&copy, &huge));
  EXPECT_FALSE(EqualRect(&copy, nullptr));
}

}  // namespace
