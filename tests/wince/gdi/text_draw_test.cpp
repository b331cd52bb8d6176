// Fonts and DrawTextW on the device: real fonts through fontconfig and
// FreeType, checked by where the ink lands rather than by exact glyph shapes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "device/device.h"
#include "gdi/font_face.h"
#include "gdi/font_table.h"
#include "gdi_fixture.h"

namespace {

constexpr wchar_t kSkinFace[] = L"HelveticaNeue LT 35 Thin";  // not installed anywhere: the mapper's choice
constexpr wchar_t kLine[] = L"Loading SoundBank...";

LOGFONTW SkinLogFont(LONG height, LONG weight = FW_MEDIUM) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = EASTEUROPE_CHARSET;
  lf.lfOutPrecision = OUT_RASTER_PRECIS;
  lf.lfQuality = CLEARTYPE_QUALITY;
  std::wcsncpy(lf.lfFaceName, kSkinFace, LF_FACESIZE);
  return lf;
}

HFONT SkinFont(LONG height, LONG weight = FW_MEDIUM) {
  LOGFONTW lf = SkinLogFont(height, weight);
  return CreateFontIndirectW(&lf);
}

struct InkBox {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  int count = 0;
};

// A memory DC over a colour bitmap of its own, read back through GetPixel.
class Surface {
 public:
  Surface(int w, int h, COLORREF background) : w_(w), h_(h), background_(background) {
    HDC screen = GetDC(nullptr);  // a colour bitmap, as the screen's
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    gditest::Fill(dc_, RECT{0, 0, w, h}, background);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Pixels that are no longer the background, within `area`.
  InkBox Ink(RECT area = RECT{0, 0, INT_MAX, INT_MAX}) const {
    InkBox box;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, h_); ++y)
      for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, w_); ++x) {
        if (At(x, y) == background_) continue;
        box = InkBox{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                     std::max(box.bottom, y + 1), box.count + 1};
      }
    return box;
  }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) out.push_back(At(x, y));
    return out;
  }

 private:
  int w_, h_;
  COLORREF background_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

class Text : public gditest::GdiTest {
 protected:
  void SetUp() override {
    GdiTest::SetUp();
    wce::SetScreenDpi(192, 192);
  }
};

TEST_F(Text, InkLandsWhereTheFormatPlacesTheLine) {
  HFONT font = SkinFont(32);
  const RECT rect{20, 10, 300, 90};
  const UINT horizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  const UINT vertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  for (UINT h : horizontal)
    for (UINT v : vertical) {
      UINT format = DT_SINGLELINE | DT_NOPREFIX | h | v;
      SCOPED_TRACE(testing::Message() << "format 0x" << std::hex << format);
      Surface s(320, 100, RGB(255, 255, 255));
      SelectObject(s.dc(), font);
      SIZE extent{};
      ASSERT_TRUE(GetTextExtentPoint32W(s.dc(), L"Loading", 7, &extent));
      TEXTMETRICW tm{};
      ASSERT_TRUE(GetTextMetricsW(s.dc(), &tm));
      EXPECT_EQ(extent.cy, 32);
      LONG x = h == DT_CENTER ? (rect.left + rect.right - extent.cx) / 2 : h == DT_RIGHT ? rect.right - extent.cx : rect.left;
      LONG y = v == DT_VCENTER ? rect.top + (rect.bottom - rect.top) / 2 - extent.cy / 2
               : v == DT_BOTTOM ? rect.bottom - extent.cy
                                : rect.top;
      RECT r = rect;
      EXPECT_EQ(DrawTextW(s.dc(), L"Loading", -1, &r, format), y + extent.cy - rect.top);
      InkBox ink = s.Ink();
      ASSERT_GT(ink.count, 0);
      // Side bearings and the descent of the 'g' leave a few pixels of play.
      EXPECT_NEAR(ink.left, x, 4);
      EXPECT_NEAR(ink.right, x + extent.cx, 4);
      EXPECT_GE(ink.top, y);
      EXPECT_LE(ink.bottom, y + extent.cy);
      EXPECT_GT(ink.bottom, y + tm.tmAscent);  // the 'g' reaches below the baseline
      EXPECT_LT(ink.top, y + tm.tmAscent - tm.tmAscent / 2);
      SelectObject(s.dc(), GetStockObject(SYSTEM_FONT));
    }
  DeleteObject(font);
}

TEST_F(Text, EllipsisDrawsTheLongestFittingPrefixAndDots) {
  HFONT font = SkinFont(28);
  const std::wstring text = L"Loading SoundBank with a very long name";
  const RECT rect{10, 5, 210, 45};
  Surface clipped(240, 50, RGB(0, 0, 0));
  Surface expected(240, 50, RGB(0, 0, 0));
  for (const Surface* s : {&clipped, &expected}) {
    SelectObject(s->dc(), font);
    SetTextColor(s->dc(), RGB(255, 255, 255));
    SetBkMode(s->dc(), TRANSPARENT);
  }
  // What should show, found by measuring alone.
  std::wstring shown = L"...";
  for (size_t n = 1; n <= text.size(); ++n) {
    std::wstring candidate = text.substr(0, n) + L"...";
    SIZE size{};
    GetTextExtentPoint32W(expected.dc(), candidate.c_str(), static_cast<int>(candidate.size()), &size);
    if (size.cx <= rect.right - rect.left) shown = candidate;
  }
  ASSERT_LT(shown.size(), text.size());
  RECT r = rect;
  DrawTextW(clipped.dc(), text.c_str(), -1, &r, 0x8025);  // end ellipsis, single line, centred both ways
  EXPECT_EQ(std::memcmp(&r, &rect, sizeof r), 0);       // the caller's rectangle is left alone
  r = rect;
  DrawTextW(expected.dc(), shown.c_str(), -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  EXPECT_EQ(clipped.Pixels(), expected.Pixels()) << "expected " << testing::PrintToString(shown);
  EXPECT_GE(clipped.Ink().left, rect.left);
  EXPECT_LE(clipped.Ink().right, rect.right);
  DeleteObject(font);
}

TEST_F(Text, DrawingClipsToTheRectangleUnlessNoClip) {
  Surface s(300, 60, RGB(255, 255, 255));
  RECT rect{50, 10, 120, 50};
  DrawTextW(s.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER);
  InkBox ink = s.Ink();
  ASSERT_GT(ink.count, 0);  // the system font draws when no font is selected
  EXPECT_GE(ink.left, 50);
  EXPECT_LE(ink.right, 120);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 50);
  DrawTextW(s.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  EXPECT_GT(s.Ink().right, 150);
}

TEST_F(Text, WindowDCsDrawOnlyInsideTheirWindow) {
  HWND hwnd = NewWindow(40, 200, 100, 40);
  ASSERT_NE(hwnd, nullptr);
  wce::ScreenImage before = wce::CaptureScreen();
  HDC dc = GetDC(hwnd);
  SetTextColor(dc, RGB(255, 255, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT rect{-30, 0, 400, 40};
  DrawTextW(dc, L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  ReleaseDC(hwnd, dc);
  wce::ScreenImage after = wce::CaptureScreen();
  int inside = 0, outside = 0;
  for (int y = 0; y < after.height; ++y)
    for (int x = 0; x < after.width; ++x) {
      size_t i = static_cast<size_t>(y) * after.width + x;
      if (before.pixels[i] == after.pixels[i]) continue;
      (x >= 40 && x < 140 && y >= 200 && y < 240 ? inside : outside)++;
    }
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

TEST_F(Text, OpaqueFillsTheLineWithTheBackgroundTransparentDoesNot) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    SCOPED_TRACE(mode == OPAQUE ? "opaque" : "transparent");
    Surface s(300, 60, RGB(255, 0, 0));
    SetBkMode(s.dc(), mode);
    SetBkColor(s.dc(), RGB(0, 255, 0));
    SIZE extent{};
    GetTextExtentPoint32W(s.dc(), L"Hello", 5, &extent);
    RECT rect{20, 0, 280, 60};
    DrawTextW(s.dc(), L"Hello", 5, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    LONG x = (20 + 280 - extent.cx) / 2, y = 30 - extent.cy / 2;
    RECT cell{x, y, x + extent.cx, y + extent.cy};
    EXPECT_EQ(s.At(x, y), mode == OPAQUE ? RGB(0, 255, 0) : RGB(255, 0, 0));  // no ink in the top left corner
    InkBox outside = s.Ink(RECT{0, 0, 300, y});
    EXPECT_EQ(outside.count, 0);
    InkBox inCell = s.Ink(cell);
    if (mode == OPAQUE)
      EXPECT_EQ(inCell.count, extent.cx * extent.cy);  // every pixel of the cell is background or ink
    else
      EXPECT_LT(inCell.count, extent.cx * extent.cy / 2);
  }
}

TEST_F(Text, CoverageBlendsTheTextColourOverTheDestination) {
  HFONT font = SkinFont(36, FW_SEMIBOLD);
  Surface coverage(300, 50, RGB(0, 0, 0));
  Surface coloured(300, 50, RGB(10, 20, 240));
  RECT rect{0, 0, 300, 50};
  SelectObject(coverage.dc(), font);
  SetTextColor(coverage.dc(), RGB(255, 255, 255));  // white on black: each pixel is its coverage
  SetBkMode(coverage.dc(), TRANSPARENT);
  DrawTextW(coverage.dc(), L"Sensitivity", -1, &rect, DT_SINGLELINE | DT_VCENTER);

  HGDIOBJ oldFont = SelectObject(coloured.dc(), font);
  SetTextColor(coloured.dc(), RGB(200, 100, 50));
  SetBkMode(coloured.dc(), TRANSPARENT);
  DrawTextW(coloured.dc(), L"Sensitivity", -1, &rect, DT_SINGLELINE | DT_VCENTER);
  // The DC keeps its state.
  EXPECT_EQ(GetTextColor(coloured.dc()), RGB(200, 100, 50));
  EXPECT_EQ(GetBkMode(coloured.dc()), TRANSPARENT);
  EXPECT_EQ(SelectObject(coloured.dc(), oldFont), font);

  int partial = 0;
  auto blend = [](int text, int dst, int a) { return (text * a + dst * (255 - a) + 127) / 255; };
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 300; ++x) {
      int a = GetRValue(coverage.At(x, y));
      if (a > 0 && a < 255) partial++;
      COLORREF want = RGB(blend(200, 10, a), blend(100, 20, a), blend(50, 240, a));
      ASSERT_EQ(coloured.At(x, y), want) << "at " << x << "," << y << " coverage " << a;
    }
  EXPECT_GT(partial, 20);  // anti-aliased edges
  DeleteObject(font);
}

TEST_F(Text, MonochromeBitmapsTakeWholePixelsOfTheNearerColour) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateCompatibleBitmap(dc, 200, 40);  // as the DC's 1 x 1 monochrome bitmap
  HGDIOBJ old = SelectObject(dc, mono);
  SetTextColor(dc, RGB(200, 210, 190));
  RECT rect{0, 0, 200, 40};
  DrawTextW(dc, L"Sensitivity", -1, &rect, DT_SINGLELINE | DT_VCENTER);  // opaque: white on white
  SetBkColor(dc, RGB(40, 0, 0));
  DrawTextW(dc, L"Sensitivity", -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  int white = 0, black = 0;
  for (COLORREF c : gditest::GdiTest::Pixels(dc, 200, 40)) {
    ASSERT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255)) << std::hex << c;
    (c ? white : black)++;
  }
  EXPECT_GT(white, 50);
  EXPECT_GT(black, 50);
  SelectObject(dc, old);
  DeleteObject(mono);
  DeleteDC(dc);
}

TEST_F(Text, GlyphsAreRenderedOncePerFontSize) {
  HFONT font = SkinFont(33);  // a size no other test uses
  Surface s(480, 60, RGB(255, 255, 255));
  SelectObject(s.dc(), font);
  RECT rect{0, 0, 480, 60};
  uint64_t start = wce::gdi::RenderedGlyphCount();
  DrawTextW(s.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(wce::gdi::RenderedGlyphCount() - start, 13u);  // "Loading SoundBank..." has 13 distinct characters
    DrawTextW(s.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER);
  HFONT twin = SkinFont(33);  // same request, same face
  SelectObject(s.dc(), twin);
  DrawTextW(s.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(wce::gdi::RenderedGlyphCount() - start, 13u);

  // Threads drawing with one font meet on its cache and draw the same.
  auto draw = [&](std::vector<COLORREF>* out) {
    Surface mine(480, 60, RGB(255, 255, 255));
    SelectObject(mine.dc(), font);
    RECT r{0, 0, 480, 60};
    for (int i = 0; i < 5; ++i) DrawTextW(mine.dc(), kLine, -1, &r, DT_SINGLELINE | DT_VCENTER);
    *out = mine.Pixels();
    SelectObject(mine.dc(), GetStockObject(SYSTEM_FONT));
  };
  Surface once(480, 60, RGB(255, 255, 255));
  SelectObject(once.dc(), font);
  DrawTextW(once.dc(), kLine, -1, &rect, DT_SINGLELINE | DT_VCENTER);
  std::vector<COLORREF> a, b;
  std::thread t1(draw, &a), t2(draw, &b);
  t1.join();
  t2.join();
  EXPECT_EQ(a, once.Pixels());
  EXPECT_EQ(b, once.Pixels());
  SelectObject(once.dc(), GetStockObject(SYSTEM_FONT));
  SelectObject(s.dc(), GetStockObject(SYSTEM_FONT));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(twin));
}

TEST_F(Text, UnknownFacesMapToARealFileAndWeightsDiffer) {
  std::optional<wce::gdi::FontMatch> medium = wce::gdi::MatchFont(kSkinFace, FW_MEDIUM, false);
  std::optional<wce::gdi::FontMatch> semibold = wce::gdi::MatchFont(kSkinFace, FW_SEMIBOLD, false);
  ASSERT_TRUE(medium && semibold);
  EXPECT_TRUE(std::ifstream(medium->path).good()) << medium->path;
  EXPECT_NE(medium->path, semibold->path);

  Surface s(10, 10, 0);
  TEXTMETRICW regular{}, bold{};
  HFONT m = SkinFont(32, FW_MEDIUM), sb = SkinFont(32, FW_SEMIBOLD);
  SelectObject(s.dc(), m);
  GetTextMetricsW(s.dc(), &regular);
  SelectObject(s.dc(), sb);
  GetTextMetricsW(s.dc(), &bold);
  EXPECT_GT(bold.tmWeight, regular.tmWeight);
  SelectObject(s.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(m);
  DeleteObject(sb);
}

TEST_F(Text, HeightsFollowLfHeight) {
  Surface s(10, 10, 0);
  TEXTMETRICW system{};
  ASSERT_TRUE(GetTextMetricsW(s.dc(), &system));  // no font selected: the system font
  EXPECT_GE(system.tmHeight, 24);
  EXPECT_LE(system.tmHeight, 36);
  struct Case {
    LONG lfHeight;
    LONG cell;  // 0: not fixed by the request
    LONG em;
  } cases[] = {{28, 28, 0}, {32, 32, 0}, {36, 36, 0}, {-24, 0, 24}, {-40, 0, 40}, {0, system.tmHeight, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "lfHeight " << c.lfHeight);
    HFONT font = SkinFont(c.lfHeight);
    ASSERT_NE(font, nullptr);
    SelectObject(s.dc(), font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(s.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (c.cell) {
      EXPECT_EQ(tm.tmHeight, c.cell);
    } else {
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.em);
    }
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(s.dc(), L"", -1, &r, DT_SINGLELINE), tm.tmHeight);  // nothing drawn, a line's height
    SelectObject(s.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
  }
}

TEST_F(Text, GetObjectGivesBackTheLogFont) {
  LOGFONTW given = SkinLogFont(28, FW_SEMIBOLD);
  HFONT font = CreateFontIndirectW(&given);
  EXPECT_EQ(GetObjectW(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
  LOGFONTW back{};
  EXPECT_EQ(GetObjectW(font, sizeof back - 1, &back), 0);
  EXPECT_EQ(GetObjectW(font, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::memcmp(&back, &given, sizeof back), 0);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  DeleteObject(font);

  LOGFONTW system{};
  ASSERT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system), static_cast<int>(sizeof system));
  EXPECT_LT(system.lfHeight, 0);
  EXPECT_NE(system.lfFaceName[0], 0);
}

TEST_F(Text, MissingCharactersDrawTheMissingGlyph) {
  Surface a(100, 40, RGB(255, 255, 255)), b(100, 40, RGB(255, 255, 255));
  RECT rect{0, 0, 100, 40};
  DrawTextW(a.dc(), L"\U0010FFFD", -1, &rect, DT_SINGLELINE);
  DrawTextW(b.dc(), L"\U0010FFFC", -1, &rect, DT_SINGLELINE);
  EXPECT_GT(a.Ink().count, 0);
  EXPECT_EQ(a.Pixels(), b.Pixels());
}

// The browser has no fontconfig: its table must name the very files the
// Linux mapper picks for the faces the program asks for (DejaVu's core set
// installed, as tools/install-deps.sh does).
TEST_F(Text, FaceTablePicksWhatFontconfigPicks) {
  for (const wchar_t* face : {kSkinFace, L"Tahoma"}) {
    for (LONG weight : {0L, 400L, 500L, 549L, 550L, 600L, 700L, 900L}) {
      std::optional<wce::gdi::FontMatch> linux = wce::gdi::MatchFont(face, weight, false);
      ASSERT_TRUE(linux);
      if (linux->path.rfind(wce::gdi::kDejaVuDir, 0) != 0) GTEST_SKIP() << "sans-serif is not DejaVu here: " << linux->path;
      wce::gdi::FontMatch table = wce::gdi::MatchFontFromTable(face, weight, false);
      EXPECT_EQ(table.path, linux->path) << "weight " << weight;
      EXPECT_EQ(table.index, linux->index);
      EXPECT_EQ(table.embolden, linux->embolden);
    }
  }
}

}  // namespace
