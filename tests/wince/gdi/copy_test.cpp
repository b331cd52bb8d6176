// Stretched, mirrored, keyed and blended copies, and colour crossing between
// monochrome and colour bitmaps. Expected pictures are written by hand, or
// come from the per-pixel reference path.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "gdi/blit.h"
#include "gdi_fixture.h"
#include "image_compare.h"

namespace {

using jptest::Image;
using jptest::ImageFromRows;
using jptest::ImageOfDC;
using jptest::ImagesMatch;

class Copies : public gditest::GdiTest {
 protected:
  void TearDown() override {
    wce::gdi::UseReferencePixels(false);
    GdiTest::TearDown();
  }

  // A memory DC holding a new device bitmap of the given depth.
  static HDC DepthDC(int w, int h, int bitsPerPixel) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(dc, CreateBitmap(w, h, 1, bitsPerPixel, nullptr)), nullptr);
    return dc;
  }

  static void Paint(HDC dc, const Image& image) {
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        uint32_t p = image.At(x, y);
        SetPixel(dc, x, y, RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF));
      }
  }

  static HDC PictureDC(const Image& image, int bitsPerPixel = 32) {
    HDC dc = DepthDC(image.width, image.height, bitsPerPixel);
    Paint(dc, image);
    return dc;
  }
};

const std::map<char, uint32_t> kPalette = {{'.', 0x000000}, {'#', 0xFFFFFF}, {'r', 0xFF0000}, {'g', 0x00FF00},
                                           {'b', 0x0000FF}, {'m', 0xFF00FF}, {'y', 0xFFFF00}, {'c', 0x00FFFF},
                                           {'o', 0xF0A000}, {'w', 0xA0B0C0}};

TEST_F(Copies, StretchingWalksThePlatformsBresenhamRule) {
  const Image source = ImageFromRows({"rgb"}, kPalette);  // shrinking: AND of r and g is black
  const struct {
    const char* name;
    int destX, destWidth, srcX, srcWidth, mode;
    const char* expect;
  } cases[] = {
      {"2 -> 3 takes 0, 0, 1", 0, 3, 0, 2, BLACKONWHITE, "rrg"},
      {"2 -> 3 mirrored: x = 2 back to 0", 2, -3, 0, 2, BLACKONWHITE, "grr"},
      {"mirrored by the source", 0, 3, 1, -2, BLACKONWHITE, "grr"},
      {"both negative: no mirror", 2, -3, 1, -2, BLACKONWHITE, "rrg"},
      {"3 -> 1 ANDs all three", 0, 1, 0, 3, BLACKONWHITE, "."},
      {"3 -> 2 ANDs 0 and 1", 0, 2, 0, 3, BLACKONWHITE, ".b"},
      {"3 -> 2 ORs them", 0, 2, 0, 3, WHITEONBLACK, "yb"},
      {"3 -> 2 keeps the last along a row", 0, 2, 0, 3, COLORONCOLOR, "gb"},
      {"3 -> 2 mirrored keeps the last", 1, -2, 0, 3, COLORONCOLOR, "bg"},
      {"1 -> 4", 0, 4, 1, 1, BLACKONWHITE, "gggg"},
      {"3 -> 7", 0, 7, 0, 3, BLACKONWHITE, "rrgggbb"},
  };
  HDC src = PictureDC(source);
  for (const auto& c : cases) {
    HDC dst = PictureDC(ImageFromRows({"wwwwwww", "wwwwwww"}, kPalette));
    SetStretchBltMode(dst, c.mode);
    ASSERT_TRUE(StretchBlt(dst, c.destX, 0, c.destWidth, 2, src, c.srcX, 0, c.srcWidth, 1, SRCCOPY)) << c.name;
    std::string row = std::string(c.expect) + std::string(7 - std::string(c.expect).size(), 'w');
    EXPECT_TRUE(ImagesMatch(ImageOfDC(dst, 7, 2), ImageFromRows({row, row}, kPalette), 0, c.name)) << c.name;
  }
  // The same rule down the rows.
  HDC column = PictureDC(ImageFromRows({"r", "g"}, kPalette));
  HDC tall = PictureDC(ImageFromRows({"w", "w", "w"}, kPalette));
  StretchBlt(tall, 0, 0, 1, 3, column, 0, 0, 1, 2, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(ImageOfDC(tall, 1, 3), ImageFromRows({"r", "r", "g"}, kPalette)));
  // Shrinking down a column keeps the first of each group.
  HDC three = PictureDC(ImageFromRows({"r", "g", "b"}, kPalette));
  HDC two = PictureDC(ImageFromRows({"w", "w"}, kPalette));
  SetStretchBltMode(two, COLORONCOLOR);
  StretchBlt(two, 0, 0, 1, 2, three, 0, 0, 1, 3, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(ImageOfDC(two, 1, 2), ImageFromRows({"r", "b"}, kPalette)));
}

TEST_F(Copies, KeyedCopiesLeaveOutTheKeyAfterStretching) {
  HDC src = PictureDC(ImageFromRows({"rm", "mb"}, kPalette));
  HDC dst = PictureDC(ImageFromRows({"wwww", "wwww", "wwww"}, kPalette));
  EXPECT_TRUE(TransparentImage(dst, 0, 0, 4, 3, src, 0, 0, 2, 2, RGB(255, 0, 255)));
  EXPECT_TRUE(ImagesMatch(ImageOfDC(dst, 4, 3), ImageFromRows({"rrww", "rrww", "wwbb"}, kPalette)));

  // A bitmap selected nowhere serves as the source too; one held by a DC does not.
  HDC holder = CreateCompatibleDC(nullptr);
  HBITMAP loose = CreateBitmap(2, 1, 1, 32, std::vector<uint32_t>{0x0000FF00, 0x00FF00FF}.data());
  EXPECT_TRUE(TransparentImage(dst, 2, 0, 2, 1, loose, 0, 0, 2, 1, RGB(255, 0, 255)));
  EXPECT_EQ(GetPixel(dst, 2, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dst, 3, 0), RGB(0xA0, 0xB0, 0xC0));
  SelectObject(holder, loose);
  EXPECT_FALSE(TransparentImage(dst, 0, 0, 2, 1, loose, 0, 0, 2, 1, 0)) << "selected elsewhere";

  for (auto [w, h, sw, sh] : {std::array{-1, 1, 1, 1}, {1, -1, 1, 1}, {1, 1, -1, 1}, {1, 1, 1, -1}})
    EXPECT_FALSE(TransparentImage(dst, 2, 2, w, h, src, 1, 1, sw, sh, 0)) << "negative sizes fail";
  EXPECT_FALSE(TransparentImage(dst, 0, 0, 1, 1, GetStockObject(BLACK_BRUSH), 0, 0, 1, 1, 0));
  EXPECT_FALSE(TransparentImage(dst, 0, 0, 1, 1, nullptr, 0, 0, 1, 1, 0));
}

TEST_F(Copies, ConstantAlphaRoundsAsThePlatform) {
  const struct {
    uint32_t source, dest;
    BYTE alpha;
    uint32_t expect;
  } cases[] = {
      {0xFF0000, 0x000000, 128, 0x800000},  // (255 * 128 + 127) / 255 = 128
      {0x000000, 0x00FF00, 128, 0x007F00},  // (255 * 127 + 127) / 255 = 127
      {0x6432C8, 0xC86432, 1, 0xC86433},    // each channel on its own
      {0x6432C8, 0xC86432, 254, 0x6432C7},
      {0x123456, 0xABCDEF, 0, 0xABCDEF},    // 0 changes nothing
      {0x123456, 0xABCDEF, 255, 0x123456},  // 255 copies
  };
  for (const auto& c : cases) {
    Image one(1, 1, c.source), under(1, 1, c.dest);
    HDC src = PictureDC(one), dst = PictureDC(under);
    ASSERT_TRUE(AlphaBlend(dst, 0, 0, 1, 1, src, 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, c.alpha, 0}));
    EXPECT_TRUE(ImagesMatch(ImageOfDC(dst, 1, 1), Image(1, 1, c.expect))) << int{c.alpha};
  }
}

TEST_F(Copies, AlphaBlendRefusesWhatThePlatformRefuses) {
  HDC src = PictureDC(Image(4, 4, 0x102030));
  HDC dst = PictureDC(Image(8, 8, 0x405060));
  const BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  const struct {
    const char* name;
    HDC dest, source;
    int x, y, w, h, sx, sy, sw, sh;
    BLENDFUNCTION blend;
  } refused[] = {
      {"negative width", dst, src, 0, 0, -2, 2, 0, 0, 2, 2, half},
      {"negative source height", dst, src, 0, 0, 2, 2, 0, 0, 2, -2, half},
      {"source past the bitmap", dst, src, 0, 0, 2, 2, 3, 0, 2, 2, half},
      {"source before the bitmap", dst, src, 0, 0, 2, 2, 0, -1, 2, 2, half},
      {"overlap in one DC", dst, dst, 0, 0, 4, 4, 2, 2, 4, 4, half},
      {"per-pixel alpha", dst, src, 0, 0, 2, 2, 0, 0, 2, 2, BLENDFUNCTION{AC_SRC_OVER, 0, 128, AC_SRC_ALPHA}},
      {"bad source", dst, nullptr, 0, 0, 2, 2, 0, 0, 2, 2, half},
      {"bad destination", reinterpret_cast<HDC>(uintptr_t{0x1234}), src, 0, 0, 2, 2, 0, 0, 2, 2, half},
  };
  for (const auto& r : refused)
    EXPECT_FALSE(AlphaBlend(r.dest, r.x, r.y, r.w, r.h, r.source, r.sx, r.sy, r.sw, r.sh, r.blend)) << r.name;
  EXPECT_TRUE(ImagesMatch(ImageOfDC(dst, 8, 8), Image(8, 8, 0x405060))) << "nothing refused drew";
  EXPECT_TRUE(AlphaBlend(dst, 4, 4, 4, 4, dst, 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}))
      << "apart in one DC";
  EXPECT_TRUE(AlphaBlend(dst, 0, 0, 8, 2, src, 0, 0, 4, 4, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}))
      << "unequal sizes stretch";
  EXPECT_EQ(GetPixel(dst, 7, 1), RGB(0x10, 0x20, 0x30));
}

TEST_F(Copies, MonochromeMeetsColourThroughTheDCsColours) {
  // Into colour: 0 bits take the destination's text colour, 1 bits its background.
  HDC mono = PictureDC(ImageFromRows({".#", "#."}, kPalette), 1);
  HDC colour = PictureDC(Image(2, 2, 0));
  SetTextColor(colour, RGB(255, 0, 0));
  SetBkColor(colour, RGB(0, 0, 255));
  BitBlt(colour, 0, 0, 2, 2, mono, 0, 0, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(ImageOfDC(colour, 2, 2), ImageFromRows({"rb", "br"}, kPalette)));

  // Into monochrome: the source's background colour becomes 1, every other colour 0.
  HDC picture = PictureDC(ImageFromRows({"gr", "#g"}, kPalette));
  SetBkColor(picture, RGB(0, 255, 0));
  HDC mask = PictureDC(Image(2, 2, 0), 1);
  BitBlt(mask, 0, 0, 2, 2, picture, 0, 0, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(ImageOfDC(mask, 2, 2), ImageFromRows({"#.", ".#"}, kPalette)));

  // Colours drawn on monochrome become the nearer of black and white.
  EXPECT_EQ(SetPixel(mask, 0, 0, RGB(200, 200, 0)), RGB(255, 255, 255));
  EXPECT_EQ(SetPixel(mask, 0, 0, RGB(127, 128, 127)), RGB(0, 0, 0));
  gditest::Fill(mask, RECT{0, 0, 2, 1}, RGB(128, 128, 127));
  EXPECT_EQ(GetPixel(mask, 1, 0), RGB(255, 255, 255));
}

// The fast path against the reference path on random copies of every kind:
// stretched either way, mirrored, clipped at every edge, between formats,
// within one bitmap, on a window under the task bar.
TEST_F(Copies, FastPathEqualsTheReferenceOnRandomCopies) {
  std::mt19937 random(20240611);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF00FF, 0x336699, 0xC0C0C0, 0xF0A000};
  auto randomImage = [&](int w, int h, bool mono) {
    Image image(w, h);
    for (uint32_t& p : image.pixels) p = mono ? (pick(0, 1) ? 0xFFFFFF : 0) : colours[pick(0, 5)];
    return image;
  };
  auto colorref = [](uint32_t p) { return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF); };
  const DWORD rops[] = {SRCCOPY,   SRCAND,    SRCPAINT, SRCINVERT, NOTSRCCOPY, MERGECOPY,
                        PATCOPY,   PATINVERT, 0xE20746, BLACKNESS, DSTINVERT,  0xB8074A};
  HWND window = NewWindow(-4, 20, 30, 30);  // off the left edge, under the task bar

  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const bool onWindow = pick(0, 9) == 0;
    const bool targetMono = !onWindow && pick(0, 3) == 0;
    HDC target = onWindow ? GetDC(window) : DepthDC(13, 11, targetMono ? 1 : 32);
    const Image start = randomImage(13, 11, targetMono);
    const bool selfCopy = pick(0, 5) == 0;
    const bool sourceMono = selfCopy ? targetMono : pick(0, 3) == 0;
    const Image sourceStart = randomImage(9, 7, sourceMono);
    HDC source = selfCopy ? target : DepthDC(9, 7, sourceMono ? 1 : 32);

    const int kind = pick(0, 2);  // raster, keyed, blend
    const bool signedSizes = kind == 0;
    const int x = pick(-4, 12), y = pick(-4, 10), sx = pick(-3, 9), sy = pick(-3, 7);
    const int w = pick(signedSizes ? -14 : 0, 14), h = pick(signedSizes ? -12 : 0, 12);
    const int sw = pick(signedSizes ? -11 : 0, 11), sh = pick(signedSizes ? -9 : 0, 9);
    const DWORD rop = rops[pick(0, 11)];
    const int mode = pick(BLACKONWHITE, HALFTONE);
    HBITMAP patternBits = CreateBitmap(3, 2, 1, pick(0, 1) ? 1 : 32, nullptr);
    HBRUSH brush = pick(0, 1) ? CreateSolidBrush(colorref(colours[pick(0, 5)])) : nullptr;
    if (!brush) {
      HDC painter = CreateCompatibleDC(nullptr);
      SelectObject(painter, patternBits);
      Paint(painter, randomImage(3, 2, false));
      DeleteDC(painter);
      brush = CreatePatternBrush(patternBits);
    }
    const uint32_t key = colours[pick(0, 5)];
    const BYTE alpha = static_cast<BYTE>(pick(0, 255));

    auto draw = [&](bool reference) {
      wce::gdi::UseReferencePixels(reference);
      Paint(target, start);
      if (!selfCopy) Paint(source, sourceStart);
      HGDIOBJ oldBrush = SelectObject(target, brush);
      SetStretchBltMode(target, mode);
      SetBrushOrgEx(target, pick(-5, 5), pick(-5, 5), nullptr);
      SetTextColor(target, colorref(colours[pick(0, 5)]));
      SetBkColor(target, colorref(colours[pick(0, 5)]));
      SetBkColor(source, colorref(colours[pick(0, 5)]));
      BOOL ok = FALSE;
      if (kind == 0) ok = StretchBlt(target, x, y, w, h, source, sx, sy, sw, sh, rop);
      if (kind == 1) ok = TransparentImage(target, x, y, w, h, source, sx, sy, sw, sh, colorref(key));
      if (kind == 2) ok = AlphaBlend(target, x, y, w, h, source, sx, sy, sw, sh, {AC_SRC_OVER, 0, alpha, 0});
      SelectObject(target, oldBrush);
      return std::make_pair(ok, ImageOfDC(target, 13, 11));
    };
    std::mt19937 replay = random;  // both runs draw the same colours and origins
    auto [expectOk, expect] = draw(true);
    random = replay;
    auto [ok, actual] = draw(false);
    std::string what = "kind " + std::to_string(kind) + " rop " + std::to_string(rop) + " mode " +
                       std::to_string(mode) + " at " + std::to_string(x) + "," + std::to_string(y) + " " +
                       std::to_string(w) + "x" + std::to_string(h) + " from " + std::to_string(sx) + "," +
                       std::to_string(sy) + " " + std::to_string(sw) + "x" + std::to_string(sh) +
                       (targetMono ? " mono" : "") + (sourceMono ? " from mono" : "") + (selfCopy ? " self" : "") +
                       (onWindow ? " window" : "");
    EXPECT_EQ(ok, expectOk) << what;
    ASSERT_TRUE(ImagesMatch(actual, expect, 0, "round" + std::to_string(round))) << what;

    if (onWindow) ReleaseDC(window, target);
    else DeleteDC(target);
    if (!selfCopy) DeleteDC(source);
    DeleteObject(brush);
    DeleteObject(patternBits);
  }
}

}  // namespace
