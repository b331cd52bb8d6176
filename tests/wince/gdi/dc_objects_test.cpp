#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "gdi/objects.h"
#include "gdi_fixture.h"

namespace {

using DCObjects = gditest::GdiTest;

TEST_F(DCObjects, NewDCsStartWithThePlatformDefaults) {
  HDC memory = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  for (HDC dc : {memory, screen}) {
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
    POINT origin{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(dc, 3, 4, &origin));
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
  }
  EXPECT_EQ(SetBkMode(memory, 7), 0) << "unknown modes are refused";
  EXPECT_EQ(GetBkMode(memory), TRANSPARENT);
  EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetObjectType(screen), static_cast<DWORD>(OBJ_DC));

  BITMAP info{};
  GetObjectW(GetCurrentObject(memory, OBJ_BITMAP), sizeof info, &info);
  EXPECT_EQ(info.bmWidth * info.bmHeight, 1);
  EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0)) << "the stock bitmap reads black";
  EXPECT_EQ(GetPixel(memory, 1, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(memory, 0, 0, RGB(255, 255, 255)), CLR_INVALID) << "nothing draws on the shared bitmap";
  EXPECT_EQ(GetPixel(CreateCompatibleDC(memory), 0, 0), RGB(0, 0, 0));
}

TEST_F(DCObjects, SelectObjectSwapsByKindAndKeepsBitmapsToOneMemoryDC) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = GetCurrentObject(first, OBJ_BITMAP);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);

  EXPECT_EQ(SelectObject(first, red), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(first, bitmap), stock);
  EXPECT_EQ(SelectObject(first, GetStockObject(BLACK_BRUSH)), red) << "the bitmap did not disturb the brush";
  EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again changes nothing";
  EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "already in another DC";
  EXPECT_EQ(GetCurrentObject(second, OBJ_BITMAP), stock) << "a refused select leaves the DC as it was";
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(SelectObject(screen, CreateCompatibleBitmap(first, 1, 1)), nullptr) << "never into a screen DC";
  EXPECT_EQ(SelectObject(first, first), nullptr) << "a DC is no object";

  EXPECT_EQ(SelectObject(first, stock), bitmap);
  EXPECT_EQ(SelectObject(second, bitmap), stock) << "free once the first DC let it go";
  EXPECT_NE(SelectObject(first, stock), nullptr) << "the stock bitmap goes anywhere";
}

TEST_F(DCObjects, SelectedObjectsRefuseDeletionUntilEveryDCLetsGo) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 3);
  SelectObject(a, brush);
  SelectObject(b, brush);
  SelectObject(a, bitmap);

  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_TRUE(PatBlt(a, 0, 0, 3, 3, PATCOPY));
  EXPECT_EQ(GetPixel(a, 2, 2), RGB(0, 255, 0)) << "both still work after the refusals";

  EXPECT_TRUE(DeleteDC(a));
  EXPECT_TRUE(DeleteObject(bitmap)) << "deleting the DC deselected its bitmap";
  EXPECT_FALSE(DeleteObject(brush)) << "still in the other DC";
  SelectObject(b, GetStockObject(BLACK_BRUSH));
  EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(DCObjects, StockObjectsHaveTheirColoursAndOutliveDeleteObject) {
  const std::pair<int, COLORREF> brushes[] = {{WHITE_BRUSH, RGB(255, 255, 255)}, {LTGRAY_BRUSH, RGB(192, 192, 192)},
                                              {GRAY_BRUSH, RGB(128, 128, 128)},  {DKGRAY_BRUSH, RGB(64, 64, 64)},
                                              {BLACK_BRUSH, RGB(0, 0, 0)}};
  for (auto [index, color] : brushes) {
    HGDIOBJ brush = GetStockObject(index);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb)) << index;
    EXPECT_EQ(lb.lbColor, color) << index;
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "stock objects are never freed";
  }
  LOGPEN pen{};
  GetObjectW(GetStockObject(WHITE_PEN), sizeof pen, &pen);
  EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
  for (int missing : {-1, 9, 12, 14, 1000}) EXPECT_EQ(GetStockObject(missing), nullptr) << missing;
}

// A compatible bitmap takes the format of what the DC draws on: the screen's,
// or the bitmap a memory DC holds, which is the monochrome stock one at first.
TEST_F(DCObjects, CompatibleBitmapsTakeTheFormatOfTheirDC) {
  HDC screen = GetDC(nullptr);
  HWND window = NewWindow(0, 60, 10, 10);
  HDC windowDC = GetDC(window);
  HDC fresh = CreateCompatibleDC(screen);
  HDC colour = MemoryDC(2, 2);
  HDC mono = CreateCompatibleDC(nullptr);
  SelectObject(mono, CreateBitmap(4, 4, 1, 1, nullptr));
  const struct {
    const char* name;
    HDC dc;
    int bitsPerPixel;
  } cases[] = {{"screen", screen, 32},           {"window", windowDC, 32}, {"fresh memory DC", fresh, 1},
               {"memory DC with colour", colour, 32}, {"memory DC with mono", mono, 1}};
  for (const auto& c : cases) {
    HBITMAP bitmap = CreateCompatibleBitmap(c.dc, 17, 3);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << c.name;
    EXPECT_EQ(info.bmBitsPixel, c.bitsPerPixel) << c.name;
    EXPECT_EQ(info.bmWidthBytes, c.bitsPerPixel == 1 ? 4 : 68) << c.name << ": rows in whole words";
    EXPECT_EQ(info.bmBits, nullptr) << c.name << ": device-dependent bitmaps keep their bits";
    HDC probe = CreateCompatibleDC(nullptr);
    SelectObject(probe, bitmap);
    EXPECT_EQ(GetPixel(probe, 16, 2), RGB(0, 0, 0)) << c.name << " starts black";
    DeleteDC(probe);
    DeleteObject(bitmap);
  }

  HBITMAP empty = CreateCompatibleBitmap(screen, 0, 7);
  EXPECT_EQ(empty, GetCurrentObject(CreateCompatibleDC(nullptr), OBJ_BITMAP)) << "the stock bitmap";
  EXPECT_TRUE(DeleteObject(empty));
  EXPECT_EQ(GetObjectType(empty), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(CreateCompatibleBitmap(screen, -1, 4), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(screen, 8192, 8192), nullptr) << "past the bitmap limits";
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
}

TEST_F(DCObjects, BadHandlesFailEveryCallWithoutHarm) {
  HDC deleted = CreateCompatibleDC(nullptr);
  DeleteDC(deleted);
  HDC live = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HWND window = NewWindow(0, 60, 10, 10);
  const uintptr_t bad[] = {0,      reinterpret_cast<uintptr_t>(deleted), reinterpret_cast<uintptr_t>(live) | 1,
                           0x1234, reinterpret_cast<uintptr_t>(window),  reinterpret_cast<uintptr_t>(brush)};
  RECT r{0, 0, 1, 1};
  for (uintptr_t value : bad) {
    SCOPED_TRACE(value);
    HDC dc = reinterpret_cast<HDC>(value);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, live, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(live, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    if (value == reinterpret_cast<uintptr_t>(brush)) continue;
    EXPECT_EQ(SelectObject(live, reinterpret_cast<HGDIOBJ>(value)), nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(value)));
  }
  EXPECT_EQ(FillRect(live, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), 0) << "system colours are no brushes";
  EXPECT_EQ(ReleaseDC(nullptr, live), 0) << "memory DCs are deleted, not released";
  EXPECT_EQ(GetObjectType(live), static_cast<DWORD>(OBJ_MEMDC));
}

TEST_F(DCObjects, ResetKillsEveryHandleAndStockObjectsComeBackFresh) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  SelectObject(dc, CreateSolidBrush(RGB(9, 9, 9)));
  wce::internal::GdiReset();
  EXPECT_EQ(wce::gdi::ObjectCount(), 0u) << "stock objects are made on demand";
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(GetObjectType(white), 0u);
  HGDIOBJ fresh = GetStockObject(WHITE_BRUSH);
  EXPECT_EQ(GetObjectType(fresh), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetCurrentObject(CreateCompatibleDC(nullptr), OBJ_BRUSH), fresh);
}

}  // namespace
