// The drawing helpers against pictures written by hand or built pixel by
// pixel here: placement, the three transparency techniques, blends, pattern
// tiling, gradients, the DC state they leave, and handles that draw nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/DrawingPrimitives.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using jptest::Image;
using jptest::ImageFromRows;
using jptest::ImagesMatch;

const uint32_t kBackground = 0x101010;

using DrawWith = std::function<void(HDC, const RECT*, HBITMAP)>;

class DrawingTest : public UiTest {};

TEST_F(DrawingTest, CentredPicturesPutTheOddPixelRightAndBottomAndOverhangBothSides) {
  struct Case {
    const char* name;
    RECT rect;
    int width, height;  // of the picture
    int left, top;      // where it must land
  };
  const Case cases[] = {
      // 3 spare columns: 1 on the left, 2 on the right; the same vertically.
      {"13 x 13 box, 10 x 10 picture", {3, 2, 16, 15}, 10, 10, 4, 3},
      // 3 columns too many: -1.5 truncates to -1, so 1 over on the left and 2 on the right.
      {"10 x 10 box, 13 x 13 picture", {5, 4, 15, 14}, 13, 13, 4, 3},
      {"odd height only", {0, 0, 20, 7}, 20, 4, 0, 1},
  };
  for (const Case& c : cases) {
    const Image picture = Numbered(c.width, c.height);
    HBITMAP bitmap = NewBitmap(picture);
    Image expected(24, 20, kBackground);
    Paste(expected, picture, c.left, c.top);
    for (DWORD rop : {DWORD{0}, DWORD{SRCCOPY}}) {
      Canvas& canvas = NewCanvas(24, 20, kBackground);
      if (rop == 0) {
        DrawBitmapCentered(canvas.dc, &c.rect, bitmap);
      } else {
        DrawBitmapCenteredRop(canvas.dc, &c.rect, bitmap, rop);
      }
      EXPECT_TRUE(ImagesMatch(Pixels(canvas), expected, 0, c.name)) << c.name << (rop ? " (rop)" : "");
    }
  }
}

TEST_F(DrawingTest, MaskedPairsAndColourKeysLetTheBackgroundThrough) {
  const std::map<char, uint32_t> palette = {
      {'#', 0x3366CC}, {'.', 0x000000}, {'w', 0xFFFFFF}, {'m', 0xFF00FF}, {'r', 0xCC2200}};
  // The image is black where the background shows; the mask black where the picture is.
  HBITMAP image = NewBitmap(ImageFromRows({".#..", "###.", ".#..", "...."}, palette));
  HBITMAP mask = NewBitmap(ImageFromRows({"w.ww", "...w", "w.ww", "wwww"}, palette));
  HBITMAP keyed = NewBitmap(ImageFromRows({"m#mm", "##rm", "m#mm", "mmmm"}, palette));
  // What the picture leaves of a varied background: its own pixels only where drawn.
  const Image background = Numbered(12, 12, 0x11);
  auto over = [&](const std::vector<std::string>& rows) {
    Image expected = background;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        char c = rows[y][x];
        if (c != '-') expected.At(x, y) = palette.at(c);
      }
    return expected;
  };
  const RECT centredBox = {2, 2, 8, 8};     // a 4 x 4 picture lands at (3, 3)
  const RECT stretchedBox = {2, 2, 10, 10};  // each pixel a 2 x 2 block
  const std::vector<std::string> centred = {
      "------------", "------------", "------------", "----#-------", "---###------", "----#-------",
      "------------", "------------", "------------", "------------", "------------", "------------"};
  const std::vector<std::string> centredKeyed = {
      "------------", "------------", "------------", "----#-------", "---##r------", "----#-------",
      "------------", "------------", "------------", "------------", "------------", "------------"};
  const std::vector<std::string> stretched = {
      "------------", "------------", "----##------", "----##------", "--######----", "--######----",
      "----##------", "----##------", "------------", "------------", "------------", "------------"};
  const std::vector<std::string> stretchedKeyed = {
      "------------", "------------", "----##------", "----##------", "--####rr----", "--####rr----",
      "----##------", "----##------", "------------", "------------", "------------", "------------"};
  struct Case {
    const char* name;
    std::function<void(HDC)> draw;
    Image expected;
  };
  const Case cases[] = {
      {"masked centred", [&](HDC dc) { DrawMaskedCentered(dc, &centredBox, image, mask); }, over(centred)},
      {"masked stretched", [&](HDC dc) { DrawMaskedStretched(dc, &stretchedBox, image, mask); }, over(stretched)},
      {"keyed centred", [&](HDC dc) { DrawKeyedCentered(dc, &centredBox, keyed, kKeyColor); }, over(centredKeyed)},
      {"keyed stretched", [&](HDC dc) { DrawKeyedStretched(dc, &stretchedBox, keyed, kKeyColor); },
       over(stretchedKeyed)},
  };
  for (const Case& c : cases) {
    Canvas& canvas = NewCanvas(12, 12, 0);
    Paint(canvas, background);
    c.draw(canvas.dc);
    EXPECT_TRUE(ImagesMatch(Pixels(canvas), c.expected, 0, c.name)) << c.name;
  }
}

TEST_F(DrawingTest, BlendsUseOnlyTheLowEightBitsOfAlpha) {
  const Image source = Numbered(8, 8, 0x22);
  Canvas& from = NewCanvas(8, 8, 0);
  Paint(from, source);
  Image copied(10, 10, kBackground);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) copied.At(2 + x, 3 + y) = source.At(x, y);
  const Image untouched(10, 10, kBackground);
  struct Case {
    UINT alpha;
    const Image* expected;
  };
  const Case cases[] = {{0xFF, &copied}, {0x1FF, &copied}, {0x100, &untouched}, {0, &untouched}};
  for (const Case& c : cases) {
    Canvas& target = NewCanvas(10, 10, kBackground);
    BlendCopyWhole(target.dc, 2, 3, 4, 4, from.dc, c.alpha);
    EXPECT_TRUE(ImagesMatch(Pixels(target), *c.expected, 0, "alpha " + std::to_string(c.alpha)))
        << "alpha " << std::hex << c.alpha;
  }
  // Any source rectangle: its (3, 1) corner onto (0, 0).
  Canvas& target = NewCanvas(10, 10, kBackground);
  EXPECT_TRUE(BlendCopy(target.dc, 0, 0, 2, 2, from.dc, 3, 1, 2, 2, 0x2FF));
  EXPECT_EQ(Pixels(target).At(1, 1), source.At(4, 2));
}

TEST_F(DrawingTest, PatternTilesStartAtTheRectangleAndLeaveTheTargetsBrush) {
  const Image pattern = Numbered(4, 4, 0x33);
  HBITMAP tile = NewBitmap(pattern);
  const RECT rect = {3, 2, 12, 8};
  Image expected(16, 12, kBackground);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) expected.At(x, y) = pattern.At((x - 3) % 4, (y - 2) % 4);

  Canvas& canvas = NewCanvas(16, 12, kBackground);
  HGDIOBJ brush = GetCurrentObject(canvas.dc, OBJ_BRUSH);
  FillPattern(canvas.dc, &rect, tile, PATCOPY);
  EXPECT_TRUE(ImagesMatch(Pixels(canvas), expected));
  EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), brush);
}

TEST_F(DrawingTest, GradientsStartAtTheFirstColourAndRunTowardTheSecond) {
  // Red 0 -> 255 over four pixels: 0, 63, 127, 191 (the last pixel never
  // reaches the end colour); green and blue equal at both ends stay put.
  const COLORREF first = RGB(0x00, 0x10, 0x80);
  const COLORREF second = RGB(0xFF, 0x10, 0x80);
  const std::map<char, uint32_t> palette = {
      {'0', 0x001080}, {'1', 0x3F1080}, {'2', 0x7F1080}, {'3', 0xBF1080}};
  struct Case {
    const char* name;
    ULONG mode;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"horizontal", GRADIENT_FILL_RECT_H, {"0123", "0123", "0123"}},
      {"vertical", GRADIENT_FILL_RECT_V, {"000", "111", "222", "333"}},
  };
  for (const Case& c : cases) {
    Image expected = ImageFromRows(c.rows, palette);
    Canvas& canvas = NewCanvas(expected.width + 2, expected.height + 2, kBackground);
    EXPECT_TRUE(FillGradient(canvas.dc, 1, 1, 1 + expected.width, 1 + expected.height, first, second, c.mode));
    Image framed(expected.width + 2, expected.height + 2, kBackground);
    Paste(framed, expected, 1, 1);
    EXPECT_TRUE(ImagesMatch(Pixels(canvas), framed, 0, c.name)) << c.name;
  }
}

TEST_F(DrawingTest, TextAndLinesLeaveTheContextAsTheyFoundIt) {
  LOGFONTW logFont{};
  logFont.lfHeight = 14;
  HFONT own = CreateFontIndirectW(&logFont);
  HFONT other = CreateFontIndirectW(&logFont);
  HPEN ownPen = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  ASSERT_TRUE(own && other && ownPen && red);

  Canvas& canvas = NewCanvas(60, 30, 0x000000);
  SetBkMode(canvas.dc, OPAQUE);
  SetBkColor(canvas.dc, RGB(0, 0, 255));
  SetTextColor(canvas.dc, RGB(0, 0, 200));
  SelectObject(canvas.dc, own);
  SelectObject(canvas.dc, ownPen);
  auto sameState = [&](const char* after) {
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE) << after;
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(0, 0, 200)) << after;
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), own) << after;
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), ownPen) << after;
  };

  const RECT box = {0, 0, 60, 20};
  DrawTextInRect(canvas.dc, L"Hi", &box, DT_SINGLELINE | DT_VCENTER, RGB(255, 255, 255), other);
  sameState("text");
  DrawTextInRect(canvas.dc, L"Hi", &box, DT_SINGLELINE, RGB(255, 255, 255), NULL);
  sameState("text in the current font");
  // Transparent and in the given colour: grey levels of white on black, no blue box.
  Image drawn = Pixels(canvas);
  int lit = 0;
  int coloured = 0;
  for (uint32_t pixel : drawn.pixels) {
    lit += pixel != 0;
    coloured += (pixel >> 16) != (pixel & 0xFF) || ((pixel >> 8) & 0xFF) != (pixel & 0xFF);
  }
  EXPECT_GT(lit, 0);
  EXPECT_EQ(coloured, 0);

  DrawLine(canvas.dc, 2, 25, 8, 25, red);
  sameState("line");
  Image after = Pixels(canvas);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(after.At(x, 25), x >= 2 && x < 8 ? 0xFF0000u : 0u) << "x " << x;

  SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
  for (HGDIOBJ object : {HGDIOBJ(own), HGDIOBJ(other), HGDIOBJ(ownPen), HGDIOBJ(red)}) DeleteObject(object);
}

TEST_F(DrawingTest, NullAndNonBitmapHandlesDrawNothing) {
  const RECT rect = {1, 1, 7, 7};
  const struct {
    const char* name;
    DrawWith draw;
  } helpers[] = {
      {"BlitBitmap", [](HDC dc, const RECT*, HBITMAP b) { BlitBitmap(dc, 0, 0, 4, 4, b, SRCCOPY); }},
      {"DrawBitmapCentered", [](HDC dc, const RECT* r, HBITMAP b) { DrawBitmapCentered(dc, r, b); }},
      {"DrawBitmapCenteredRop", [](HDC dc, const RECT* r, HBITMAP b) { DrawBitmapCenteredRop(dc, r, b, SRCAND); }},
      {"DrawMaskedCentered", [](HDC dc, const RECT* r, HBITMAP b) { DrawMaskedCentered(dc, r, b, b); }},
      {"DrawKeyedCentered", [](HDC dc, const RECT* r, HBITMAP b) { DrawKeyedCentered(dc, r, b, kKeyColor); }},
      {"DrawBitmapStretched", [](HDC dc, const RECT* r, HBITMAP b) { DrawBitmapStretched(dc, r, b); }},
      {"DrawBitmapStretchedRop",
       [](HDC dc, const RECT* r, HBITMAP b) { DrawBitmapStretchedRop(dc, r, b, SRCAND); }},
      {"DrawMaskedStretched", [](HDC dc, const RECT* r, HBITMAP b) { DrawMaskedStretched(dc, r, b, b); }},
      {"DrawKeyedStretched", [](HDC dc, const RECT* r, HBITMAP b) { DrawKeyedStretched(dc, r, b, kKeyColor); }},
      {"FillPattern", [](HDC dc, const RECT* r, HBITMAP b) { FillPattern(dc, r, b, PATCOPY); }},
  };
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const Image untouched(8, 8, kBackground);
  for (HBITMAP handle : {HBITMAP(NULL), reinterpret_cast<HBITMAP>(brush)}) {
    for (const auto& helper : helpers) {
      Canvas& canvas = NewCanvas(8, 8, kBackground);
      helper.draw(canvas.dc, &rect, handle);
      std::string label = std::string(helper.name) + (handle ? " (brush)" : " (null)");
      EXPECT_TRUE(ImagesMatch(Pixels(canvas), untouched, 0, label)) << label;
      EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BITMAP), canvas.bitmap) << label;
    }
  }
  // The header helper refuses both and leaves the caller's record alone.
  BITMAPINFOHEADER header;
  std::memset(&header, 0xAB, sizeof(header));
  EXPECT_FALSE(GetBitmapHeader(&header, NULL));
  EXPECT_FALSE(GetBitmapHeader(&header, reinterpret_cast<HBITMAP>(brush)));
  EXPECT_EQ(header.biSize, 0xABABABABu);
  DeleteObject(brush);
}

}  // namespace
}  // namespace uitest
