// Windows on the screen: showing, minimising and activation with their trace
// lines, update regions and WM_PAINT, moving, and what a window leaves behind.
#include <string>

#include "device/internal.h"
#include "gdi/screen.h"
#include "user/window_state.h"
#include "user_fixture.h"

namespace usertest {
namespace {

using WindowManagerTest = UserTest;

std::vector<WPARAM> ActivateStates() {
  std::vector<WPARAM> out;
  for (const Logged& l : LoggedOf(WM_ACTIVATE)) out.push_back(l.wParam);
  return out;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Takes the update region (validating it) and tells it with its erase flag.
std::string TakeUpdate(HWND w) {
  RECT r{};
  bool erase = false;
  EXPECT_TRUE(wce::user::TakeUpdateRegion(w, &r, &erase));
  return Text(r) + (erase ? " erase" : "");
}

HWND WindowAt(int x, int y, int w, int h, LPCWSTR cls = L"LogClass") {
  return CreateWindowExW(0, cls, L"t", WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(WindowManagerTest, ShowMinimizeRestoreHideDestroyWithActivationAndTrace) {
  HWND w = NewWindow();
  TraceLog trace;
  EXPECT_FALSE(ShowWindow(w, SW_SHOW));  // was hidden
  EXPECT_TRUE(ShowWindow(w, SW_SHOWNORMAL));  // already shown and active: nothing more
  EXPECT_EQ(GetForegroundWindow(), w);
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w) && IsWindowVisible(w) && wce::ForegroundMinimized());
  EXPECT_FALSE(wce::user::WindowIsShowing(w));
  ShowWindow(w, SW_RESTORE);
  EXPECT_TRUE(ShowWindow(w, SW_HIDE));
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  EXPECT_EQ(ActivateStates(), (std::vector<WPARAM>{WA_ACTIVE, WA_INACTIVE, WA_ACTIVE, WA_INACTIVE}));
  EXPECT_EQ(trace.Take(),
            (std::vector<std::string>{"window shown", "activate", "window minimized", "deactivate",
                                      "window restored", "activate", "window hidden", "deactivate"}));

  // the active window hears WA_INACTIVE before WM_DESTROY
  ShowWindow(w, SW_SHOW);
  ClearLog();
  DestroyWindow(w);
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_ACTIVATE, WM_DESTROY}));
  EXPECT_EQ(ActivateStates(), (std::vector<WPARAM>{WA_INACTIVE}));

  EXPECT_FALSE(ShowWindow(NewWindow(), 42));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(ShowWindow(w, SW_SHOW));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowManagerTest, ActivationPassesBetweenWindows) {
  HWND a = NewWindow(WS_VISIBLE);
  HWND b = NewWindow();
  ClearLog();
  ShowWindow(b, SW_SHOWNA);  // shown without taking activation
  EXPECT_TRUE(LoggedOf(WM_ACTIVATE).empty());
  ShowWindow(b, SW_SHOW);
  std::vector<Logged> seen = LoggedOf(WM_ACTIVATE);
  ASSERT_EQ(seen.size(), 2u);  // the old one first, each told about the other
  EXPECT_TRUE(seen[0].hwnd == a && seen[0].wParam == WA_INACTIVE && seen[0].lParam == reinterpret_cast<LPARAM>(b));
  EXPECT_TRUE(seen[1].hwnd == b && seen[1].wParam == WA_ACTIVE && seen[1].lParam == reinterpret_cast<LPARAM>(a));

  ShowWindow(b, SW_MINIMIZE);  // the window behind takes over
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(LoggedOf(WM_ACTIVATE).back().hwnd, a);
  // bit 0 of the handle is a flag of SetForegroundWindow; a minimised window comes back
  EXPECT_TRUE(SetForegroundWindow(WithLowBit(b)));
  EXPECT_FALSE(IsIconic(b));
  EXPECT_EQ(GetForegroundWindow(), b);
  EXPECT_EQ(LoggedOf(WM_ACTIVATE).back().hwnd, b);
}

// Like the program: activation goes full screen, which moves and shows the
// window again from inside WM_ACTIVATE.
LRESULT CALLBACK FullScreenProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = LogProc(hwnd, msg, wParam, lParam);
  if (msg == WM_ACTIVATE && wParam == WA_ACTIVE) {
    MoveWindow(hwnd, 0, 0, 480, 640, TRUE);
    ShowWindow(hwnd, SW_SHOWNORMAL);
  }
  return result;
}

TEST_F(WindowManagerTest, ShowingFromInsideActivationDoesNotActivateAgain) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FullScreenProc;
  wc.lpszClassName = L"FullScreen";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND w = WindowAt(0, 52, 480, 588, L"FullScreen");
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_CREATE, WM_ACTIVATE, WM_MOVE, WM_SIZE}));
  ShowWindow(w, SW_MINIMIZE);
  ShowWindow(w, SW_RESTORE);
  EXPECT_EQ(ActivateStates(), (std::vector<WPARAM>{WA_ACTIVE, WA_INACTIVE, WA_ACTIVE}));
}

TEST_F(WindowManagerTest, PaintComesAfterPostedAndInputBeforeTimersAndOnlyWhileShowing) {
  HWND w = NewWindow(WS_VISIBLE);
  ValidateRect(w, nullptr);
  SetTimer(w, 1, 10, nullptr);
  Sleep(20);
  InvalidateRect(w, nullptr, FALSE);
  wce::InjectPen(wce::PenAction::Down, 5, 5);
  PostMessageW(w, WM_USER + 1, 0, 0);
  MSG m{};
  std::vector<UINT> order;
  for (int i = 0; i < 4 && GetMessageW(&m, nullptr, 0, 0) > 0; ++i) {
    order.push_back(m.message);
    if (m.message == WM_PAINT) {  // it keeps coming until validated
      ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
      EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
    }
    DispatchMessageW(&m);  // DefWindowProcW validates
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_LBUTTONDOWN, WM_PAINT, WM_TIMER}));

  KillTimer(w, 1);
  ShowWindow(w, SW_MINIMIZE);
  InvalidateRect(w, nullptr, TRUE);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
  ShowWindow(w, SW_RESTORE);
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(WindowManagerTest, UpdateRegionIsABoundingRectangleWithAnEraseFlag) {
  HWND w = WindowAt(0, 0, 100, 80);
  EXPECT_EQ(TakeUpdate(w), "0,0,100,80 erase");  // showing invalidates all of it
  EXPECT_EQ(TakeUpdate(w), "0,0,0,0");
  RECT a{10, 10, 20, 20}, b{30, 5, 40, 15}, outside{-10, -10, 5, 5}, beyond{200, 200, 300, 300};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, TRUE);
  EXPECT_EQ(TakeUpdate(w), "10,5,40,20 erase");
  InvalidateRect(w, &outside, FALSE);  // clipped to the client area
  InvalidateRect(w, &beyond, TRUE);    // nothing of it inside: no change
  EXPECT_EQ(TakeUpdate(w), "0,0,5,5");
  // a band off one side shrinks it; a hole in the middle cannot be kept
  InvalidateRect(w, nullptr, FALSE);
  RECT top{0, 0, 100, 30}, middle{40, 40, 60, 60};
  ValidateRect(w, &top);
  ValidateRect(w, &middle);
  EXPECT_EQ(TakeUpdate(w), "0,30,100,80");
  EXPECT_FALSE(InvalidateRect(WithLowBit(w), nullptr, FALSE));
}

TEST_F(WindowManagerTest, InvalidateFromAnotherThreadWakesTheLoop) {
  HWND w = NewWindow(WS_VISIBLE);
  ValidateRect(w, nullptr);
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    Sleep(100);
    InvalidateRect(static_cast<HWND>(p), nullptr, TRUE);
    return 0;
  }, w, 0, nullptr);
  MSG m{};
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(GetTickCount(), 100u);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
}

TEST_F(WindowManagerTest, UpdateWindowPaintsAtOnceOnlyWhenSomethingIsInvalid) {
  HWND w = NewWindow(WS_VISIBLE);
  ValidateRect(w, nullptr);
  ClearLog();
  UpdateWindow(w);
  InvalidateRect(w, nullptr, FALSE);
  EXPECT_TRUE(UpdateWindow(w));  // straight to the procedure, no loop needed
  ShowWindow(w, SW_HIDE);
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);  // a hidden window does not paint
  EXPECT_EQ(LoggedOf(WM_PAINT).size(), 1u);
}

TEST_F(WindowManagerTest, MoveWindowTellsWhatChangedAndRepaintsWhenAsked) {
  HWND w = WindowAt(0, 0, 100, 80);
  TakeUpdate(w);
  ClearLog();
  ASSERT_TRUE(MoveWindow(w, 10, 20, 200, 50, TRUE));
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_MOVE, WM_SIZE}));
  EXPECT_EQ(LoggedOf(WM_MOVE)[0].lParam, MAKELPARAM(10, 20));
  EXPECT_EQ(LoggedOf(WM_SIZE)[0].wParam, 0u);  // SIZE_RESTORED
  EXPECT_EQ(LoggedOf(WM_SIZE)[0].lParam, MAKELPARAM(200, 50));
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(Text(r), "10,20,210,70");
  GetClientRect(w, &r);
  EXPECT_EQ(Text(r), "0,0,200,50");
  EXPECT_EQ(TakeUpdate(w), "0,0,200,50 erase");

  ClearLog();
  MoveWindow(w, 10, 20, 200, 50, TRUE);  // no change: nothing at all
  MoveWindow(w, 0, 20, 200, 50, FALSE);  // moved, no repaint asked
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_MOVE}));
  EXPECT_EQ(TakeUpdate(w), "0,0,0,0");
}

TEST_F(WindowManagerTest, ChildWindowsSitInTheirParentsClientArea) {
  HWND parent = WindowAt(30, 40, 200, 200);
  HWND child = CreateWindowExW(0, L"LogClass", L"c", WS_CHILD | WS_VISIBLE, 5, 6, 50, 60, parent, nullptr,
                               nullptr, nullptr);
  RECT r{};
  ASSERT_TRUE(wce::user::WindowScreenRect(child, &r));
  EXPECT_EQ(Text(r), "35,46,85,106");
  ShowWindow(parent, SW_MINIMIZE);
  EXPECT_FALSE(wce::user::WindowIsShowing(child));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(FindWindowW(nullptr, L"c"), nullptr);  // only top-level windows are found
}

TEST_F(WindowManagerTest, UncoveredScreenShowsTheDesktopAndRepaintsWhatIsBelow) {
  wce::internal::ShellReset();  // the task bar drawn at the top
  uint32_t taskbarPixel = wce::CaptureScreen().pixels[1];
  HWND back = NewWindow(WS_VISIBLE);  // the whole screen
  HWND front = WindowAt(50, 100, 150, 200);
  TakeUpdate(back);
  wce::gdi::FillScreenRect(RECT{0, 0, 480, 640}, 0xFF0000);  // as if both had painted

  ShowWindow(front, SW_HIDE);
  wce::ScreenImage shot = wce::CaptureScreen();
  EXPECT_EQ(shot.pixels[150 * shot.width + 100], wce::gdi::kDesktopRgb);
  EXPECT_EQ(shot.pixels[150 * shot.width + 250], 0xFF0000u);  // beside it: untouched
  EXPECT_EQ(TakeUpdate(back), "50,100,200,300 erase");

  ShowWindow(back, SW_MINIMIZE);  // it covered the task bar's place: the bar comes back on top
  shot = wce::CaptureScreen();
  EXPECT_EQ(shot.pixels[1], taskbarPixel);
  EXPECT_EQ(shot.pixels[400 * shot.width + 240], wce::gdi::kDesktopRgb);
}

TEST_F(WindowManagerTest, DefaultProcedureErasesWithTheClassBrush) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = LogProc;
  wc.lpszClassName = L"Brushed";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND brushed = WindowAt(0, 100, 50, 50, L"Brushed");
  HWND bare = WindowAt(100, 100, 50, 50);
  wce::gdi::FillScreenRect(RECT{0, 0, 480, 640}, 0xFF0000);
  PAINTSTRUCT ps{};
  ASSERT_NE(BeginPaint(brushed, &ps), nullptr);  // sends WM_ERASEBKGND on to DefWindowProcW
  EXPECT_FALSE(ps.fErase);
  EndPaint(brushed, &ps);
  ASSERT_NE(BeginPaint(bare, &ps), nullptr);
  EXPECT_TRUE(ps.fErase);  // no brush: still to be erased
  EndPaint(bare, &ps);
  wce::ScreenImage shot = wce::CaptureScreen();
  EXPECT_EQ(shot.pixels[120 * shot.width + 10], 0xFFFFFFu);
  EXPECT_EQ(shot.pixels[120 * shot.width + 110], 0xFF0000u);
}

}  // namespace
}  // namespace usertest
