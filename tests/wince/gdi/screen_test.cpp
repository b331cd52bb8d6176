#include <aygshell.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "gdi/screen.h"
#include "gdi_fixture.h"
#include "shell/display_state.h"

namespace {

using gditest::Fill;
using wce::CaptureScreen;
using wce::ScreenImage;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kDesktop = RGB(0x30, 0x50, 0x70);
static_assert(wce::gdi::kDesktopRgb == 0x305070);

COLORREF At(const ScreenImage& image, int x, int y) {
  uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
  return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
}

bool AllOf(const ScreenImage& image, RECT area, COLORREF color) {
  for (LONG y = area.top; y < area.bottom; ++y)
    for (LONG x = area.left; x < area.right; ++x)
      if (At(image, x, y) != color) return false;
  return true;
}

class Screen : public gditest::GdiTest {
 protected:
  void SetUp() override {
    GdiTest::SetUp();
    wce::SetScreenChangedCallback([this] { changes++; });
  }
  void TearDown() override {
    wce::SetScreenSize(480, 640);
    wce::SetScreenDpi(192, 192);
    GdiTest::TearDown();
  }
  std::atomic<int> changes{0};
};

TEST_F(Screen, ScreenDCCoversTheWholeDisplayAndReportsIt) {
  ScreenImage image = CaptureScreen();
  ASSERT_EQ(image.width * image.height, 480 * 640);
  EXPECT_EQ(At(image, 479, 639), kDesktop);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 192);
  wce::SetScreenDpi(96, 120);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 120);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(GetDeviceCaps(CreateCompatibleDC(screen), BITSPIXEL), 32);
  Fill(screen, RECT{0, 0, 480, 640}, kRed);
  EXPECT_EQ(At(image, 0, 0), kDesktop) << "a capture is a copy";
  EXPECT_TRUE(AllOf(CaptureScreen(), RECT{0, 0, 480, 640}, kRed)) << "bars included";
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST_F(Screen, WindowDCDrawsAtTheWindowCutToItAndToTheScreen) {
  HWND inside = NewWindow(30, 100, 100, 80);
  HDC dc = GetDC(inside);
  Fill(dc, RECT{-50, -50, 500, 500}, kRed);
  SetPixel(dc, 99, 79, kBlue);
  HWND edge = NewWindow(-20, 600, 60, 100);
  HDC edgeDC = GetDC(edge);
  HDC source = MemoryDC(60, 100, kBlue);
  SetPixel(source, 20, 0, kRed);
  BitBlt(edgeDC, 0, 0, 60, 100, source, 0, 0, SRCCOPY);

  ScreenImage image = CaptureScreen();
  EXPECT_TRUE(AllOf(image, RECT{30, 100, 129, 179}, kRed));
  EXPECT_EQ(At(image, 129, 179), kBlue) << "window (99, 79) is screen (129, 179)";
  for (POINT p : {POINT{29, 100}, POINT{130, 100}, POINT{30, 99}, POINT{30, 180}, POINT{40, 600}})
    EXPECT_EQ(At(image, p.x, p.y), kDesktop) << p.x << "," << p.y;
  EXPECT_EQ(GetPixel(dc, 99, 79), kBlue);
  EXPECT_EQ(GetPixel(dc, 100, 0), CLR_INVALID);
  EXPECT_EQ(At(image, 0, 600), kRed) << "window (20, 0) is screen (0, 600)";
  EXPECT_EQ(At(image, 39, 639), kBlue);
  EXPECT_EQ(ReleaseDC(inside, dc), 1);
  ReleaseDC(edge, edgeDC);
}

TEST_F(Screen, WindowDCsLeaveTheTaskBarAndInputButtonAloneWhileTheyShow) {
  RECT bar = wce::shell::TaskbarRect();
  RECT sip = wce::shell::SipButtonRect();
  ASSERT_LT(bar.top, bar.bottom) << "the task bar shows after a reset";
  ASSERT_LT(sip.top, sip.bottom);
  HWND hwnd = NewWindow(0, 0, 480, 640);
  ScreenImage before = CaptureScreen();
  HDC dc = GetDC(hwnd);
  Fill(dc, RECT{0, 0, 480, 640}, kRed);
  ScreenImage image = CaptureScreen();
  for (RECT r : {bar, sip})
    for (LONG y = r.top; y < r.bottom; ++y)
      for (LONG x = r.left; x < r.right; ++x) ASSERT_EQ(At(image, x, y), At(before, x, y)) << x << "," << y;
  for (POINT p : {POINT{0, bar.bottom}, POINT{sip.left - 1, 639}, POINT{sip.right, sip.top}, POINT{sip.left, sip.top - 1}})
    EXPECT_EQ(At(image, p.x, p.y), kRed) << p.x << "," << p.y;

  ASSERT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  Fill(dc, RECT{0, 0, 480, 640}, kBlue);
  EXPECT_TRUE(AllOf(CaptureScreen(), RECT{0, 0, 480, 640}, kBlue)) << "full screen: every pixel is the window's";
  ReleaseDC(hwnd, dc);
}

TEST_F(Screen, HiddenAndMinimisedWindowsDrawNothingAndTellNothing) {
  HWND hwnd = NewWindow(10, 100, 50, 50, 0);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr) << "a hidden window still has a DC";
  int before = changes;
  Fill(dc, RECT{0, 0, 50, 50}, kRed);
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  EXPECT_EQ(At(CaptureScreen(), 10, 100), kDesktop);
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(changes, before) << "nothing drawn, nothing to present";

  ShowWindow(hwnd, SW_SHOW);
  dc = GetDC(hwnd);
  Fill(dc, RECT{0, 0, 50, 50}, kRed);
  EXPECT_EQ(At(CaptureScreen(), 10, 100), kRed);
  ShowWindow(hwnd, SW_MINIMIZE);
  COLORREF minimised = At(CaptureScreen(), 10, 100);
  Fill(dc, RECT{0, 0, 50, 50}, kBlue);
  EXPECT_EQ(At(CaptureScreen(), 10, 100), minimised) << "the same DC stops drawing once minimised";
  before = changes;
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(changes, before + 1) << "it drew while it showed";
  DeleteDC(MemoryDC(4, 4));
  EXPECT_EQ(changes, before + 1) << "memory DCs are no business of the host";
}

TEST_F(Screen, BeginPaintClipsToTheUpdateRectangleAndErasesWhenAsked) {
  HWND hwnd = NewWindow(0, 100, 200, 200);
  ValidateRect(hwnd, nullptr);
  RECT dirty{10, 20, 50, 60};
  InvalidateRect(hwnd, &dirty, TRUE);
  gditest::gEraseFill = kBlue;
  int before = changes;
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(ps.hdc, dc);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.bottom, 60);
  EXPECT_EQ(gditest::gErases, std::vector<HDC>{dc}) << "the erase draws with the paint DC";
  EXPECT_TRUE(ps.fErase) << "the procedure returned 0: not erased";
  ScreenImage erased = CaptureScreen();
  EXPECT_TRUE(AllOf(erased, RECT{10, 120, 50, 160}, kBlue));
  EXPECT_EQ(At(erased, 9, 120), kDesktop) << "the erase is clipped too";

  Fill(dc, RECT{0, 0, 200, 200}, kRed);
  ScreenImage painted = CaptureScreen();
  EXPECT_TRUE(AllOf(painted, RECT{10, 120, 50, 160}, kRed));
  EXPECT_EQ(At(painted, 50, 120), kDesktop);
  EXPECT_EQ(At(painted, 10, 119), kDesktop);
  EXPECT_EQ(changes, before);
  EXPECT_TRUE(EndPaint(hwnd, &ps));
  EXPECT_EQ(changes, before + 1);
  EXPECT_EQ(GetObjectType(dc), 0u) << "EndPaint released the DC";

  HDC nothing = BeginPaint(hwnd, &ps);
  EXPECT_TRUE(ps.rcPaint.right <= ps.rcPaint.left || ps.rcPaint.bottom <= ps.rcPaint.top) << "validated";
  Fill(nothing, RECT{0, 0, 200, 200}, kBlue);
  EXPECT_EQ(At(CaptureScreen(), 20, 130), kRed);
  EndPaint(hwnd, &ps);

  gditest::gEraseResult = 1;
  InvalidateRect(hwnd, nullptr, TRUE);
  BeginPaint(hwnd, &ps);
  EXPECT_FALSE(ps.fErase) << "the procedure erased it";
  EXPECT_EQ(ps.rcPaint.right, 200) << "NULL invalidates the whole window";
  EndPaint(hwnd, &ps);
  InvalidateRect(hwnd, nullptr, FALSE);
  BeginPaint(hwnd, &ps);
  EXPECT_FALSE(ps.fErase);
  EndPaint(hwnd, &ps);
  EXPECT_EQ(gditest::gErases.size(), 2u) << "no erase when none was asked for";

  EXPECT_EQ(BeginPaint(reinterpret_cast<HWND>(uintptr_t{0x4242}), &ps), nullptr);
  EXPECT_EQ(BeginPaint(hwnd, nullptr), nullptr);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(uintptr_t{0x4242})), nullptr);
}

TEST_F(Screen, TheFramebufferFollowsTheScreenSizeOnlyWhileNoWindowDCIsOut) {
  HDC screen = GetDC(nullptr);
  wce::SetScreenSize(240, 320);
  Fill(screen, RECT{0, 0, 480, 640}, kRed);
  ScreenImage held = CaptureScreen();
  EXPECT_EQ(held.width, 480) << "a DC that is drawing keeps its buffer";
  EXPECT_EQ(At(held, 479, 639), kRed);
  ReleaseDC(nullptr, screen);
  ScreenImage resized = CaptureScreen();
  EXPECT_EQ(resized.width * resized.height, 240 * 320);
  EXPECT_EQ(At(resized, 239, 319), kDesktop);
}

// The loader thread and the UI thread each compose in a memory DC of their
// own and copy to their window while the host captures the screen.
TEST_F(Screen, ThreadsDrawingInTheirOwnDCsDoNotDisturbEachOther) {
  HWND left = NewWindow(0, 100, 100, 100);
  HWND right = NewWindow(200, 100, 100, 100);
  int before = changes;
  std::atomic<bool> stop{false};
  auto painter = [](HWND hwnd, COLORREF a, COLORREF b) {
    HDC back = MemoryDC(100, 100);
    for (int i = 0; i < 50; ++i) {
      Fill(back, RECT{0, 0, 100, 100}, (i % 2) ? a : b);
      HDC dc = GetDC(hwnd);
      BitBlt(dc, 0, 0, 100, 100, back, 0, 0, SRCCOPY);
      ReleaseDC(hwnd, dc);
    }
    DeleteDC(back);
  };
  std::thread capturer([&] {
    while (!stop) {
      CaptureScreen();
      std::this_thread::yield();
    }
  });
  std::thread one(painter, left, kRed, kBlue);
  std::thread two(painter, right, kBlue, kRed);
  one.join();
  two.join();
  stop = true;
  capturer.join();
  ScreenImage image = CaptureScreen();
  EXPECT_TRUE(AllOf(image, RECT{0, 100, 100, 200}, kRed));
  EXPECT_TRUE(AllOf(image, RECT{200, 100, 300, 200}, kBlue));
  EXPECT_EQ(changes, before + 100);
}

}  // namespace
