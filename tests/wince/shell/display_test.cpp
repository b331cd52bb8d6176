// The task bar and input panel button: where they sit, SHFullScreen hiding
// and showing them, the work area, and what the screen shows.
#include <aygshell.h>
#include <windows.h>

#include "device/internal.h"
#include "gdi/screen.h"
#include "shell/display_state.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

bool RectEq(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

uint32_t ScreenPixel(int x, int y) {
  wce::ScreenImage image = wce::CaptureScreen();
  return image.pixels[static_cast<size_t>(y) * image.width + x];
}

int Brightness(uint32_t rgb) { return (rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF); }

// Handles whatever is queued, so that a later WM_PAINT can only come from
// what the test does next.
void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

bool PaintPending(HWND hwnd) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT && msg.hwnd == hwnd) return true;
    DispatchMessageW(&msg);
  }
  return false;
}

using DisplayTest = ShellTest;

TEST_F(DisplayTest, BarsScaleWithTheScreenDpi) {
  EXPECT_TRUE(RectEq(wce::shell::TaskbarRect(), RECT{0, 0, 480, 52}));
  EXPECT_TRUE(RectEq(wce::shell::SipButtonRect(), RECT{214, 588, 266, 640}));
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_TRUE(RectEq(work, RECT{0, 52, 480, 640}));

  wce::SetScreenSize(240, 320);
  wce::SetScreenDpi(131, 96);  // 26 at 131 dpi is 35.48: rounds to 35
  EXPECT_TRUE(RectEq(wce::shell::TaskbarRect(), RECT{0, 0, 240, 26}));
  EXPECT_TRUE(RectEq(wce::shell::SipButtonRect(), RECT{102, 294, 137, 320}));
  EXPECT_TRUE(RectEq(wce::shell::WorkArea(), RECT{0, 26, 240, 320}));
}

TEST_F(DisplayTest, FullScreenTracesOnlyTaskbarChanges) {
  HWND hwnd = NewWindow();
  ClearTrace();
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  EXPECT_TRUE(IsEmpty(wce::shell::TaskbarRect()));
  EXPECT_TRUE(IsEmpty(wce::shell::SipButtonRect()));
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR));  // already hidden: no second line
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_SHOWSIPBUTTON));
  EXPECT_FALSE(IsEmpty(wce::shell::SipButtonRect()));
  EXPECT_TRUE(IsEmpty(wce::shell::TaskbarRect()));
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON));
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_SHOWTASKBAR));
  EXPECT_EQ(Events(), (std::vector<std::string>{"fullscreen on", "fullscreen off"}));
  EXPECT_TRUE(RectEq(wce::shell::TaskbarRect(), RECT{0, 0, 480, 52}));
}

TEST_F(DisplayTest, WorkAreaLeavesOutTheTaskbarEvenInFullScreen) {
  HWND hwnd = NewWindow();
  ASSERT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_TRUE(RectEq(work, RECT{0, 52, 480, 640}));
}

TEST_F(DisplayTest, RefusesWhatItCannotDo) {
  HWND hwnd = NewWindow();
  ClearTrace();
  SetLastError(0);
  EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(SHFullScreen(reinterpret_cast<HWND>(0x12345678), SHFS_HIDETASKBAR));
  EXPECT_FALSE(SHFullScreen(hwnd, SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR));
  EXPECT_FALSE(SHFullScreen(hwnd, SHFS_SHOWSIPBUTTON | SHFS_HIDESIPBUTTON | SHFS_HIDETASKBAR));
  // The start icon flags are accepted and change nothing.
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_HIDESTARTICON));
  EXPECT_TRUE(SHFullScreen(hwnd, SHFS_SHOWSTARTICON));
  EXPECT_FALSE(IsEmpty(wce::shell::TaskbarRect()));
  EXPECT_TRUE(Events().empty());
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_FALSE(SHFullScreen(hwnd, SHFS_HIDETASKBAR));
  EXPECT_FALSE(IsEmpty(wce::shell::TaskbarRect()));

  RECT work{};
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETWORKAREA, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETWORKAREA + 1, 0, &work, 0));
}

TEST_F(DisplayTest, ScreenShowsTheBarsUntilTheyAreHidden) {
  HWND hwnd = NewWindow();
  Drain();
  uint32_t bar = ScreenPixel(240, 26);
  uint32_t start = ScreenPixel(26, 26);
  EXPECT_NE(bar, wce::gdi::kDesktopRgb);
  EXPECT_GT(Brightness(start), Brightness(bar));  // the start square stands out
  EXPECT_NE(ScreenPixel(214, 588), wce::gdi::kDesktopRgb);  // the SIP button's frame

  ASSERT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  // The desktop shows where the bars were, and the window below must repaint.
  EXPECT_EQ(ScreenPixel(240, 26), wce::gdi::kDesktopRgb);
  EXPECT_EQ(ScreenPixel(26, 26), wce::gdi::kDesktopRgb);
  EXPECT_EQ(ScreenPixel(214, 588), wce::gdi::kDesktopRgb);
  EXPECT_TRUE(PaintPending(hwnd));

  ASSERT_TRUE(SHFullScreen(hwnd, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON));
  EXPECT_EQ(ScreenPixel(240, 26), bar);
  EXPECT_EQ(ScreenPixel(26, 26), start);
  EXPECT_NE(ScreenPixel(214, 588), wce::gdi::kDesktopRgb);
}

TEST_F(DisplayTest, NewDeviceShowsTheBarsAgain) {
  HWND hwnd = NewWindow();
  ASSERT_TRUE(SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  wce::internal::ShellReset();
  EXPECT_FALSE(IsEmpty(wce::shell::TaskbarRect()));
  EXPECT_FALSE(IsEmpty(wce::shell::SipButtonRect()));
  EXPECT_NE(ScreenPixel(240, 26), wce::gdi::kDesktopRgb);
}

}  // namespace
}  // namespace shelltest
