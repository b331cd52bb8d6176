// Input from the host: the stylus, keys, focus, the close request and the
// desktop's minimise button.
#include <thread>

#include "user_fixture.h"

namespace usertest {
namespace {

using InputTest = UserTest;

// Every queued message but WM_PAINT, taken out.
std::vector<MSG> Drain() {
  std::vector<MSG> out;
  MSG m{};
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_PAINT)
      ValidateRect(m.hwnd, nullptr);
    else
      out.push_back(m);
  }
  return out;
}

TEST_F(InputTest, PenLandsInClientCoordinatesOfTheWindowItTouched) {
  HWND back = NewWindow(WS_VISIBLE);
  HWND front = CreateWindowExW(0, L"LogClass", L"t", WS_VISIBLE, 10, 60, 200, 200, nullptr, nullptr, nullptr,
                               nullptr);
  Drain();
  wce::InjectPen(wce::PenAction::Down, 15, 70);
  wce::InjectPen(wce::PenAction::Move, 300, 70);  // dragged off it: still its own until lifted
  wce::InjectPen(wce::PenAction::Up, 300, 75);
  wce::InjectPen(wce::PenAction::Down, 300, 75);  // now the window behind
  std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_TRUE(got[0].hwnd == front && got[0].message == WM_LBUTTONDOWN && got[0].wParam == 1);  // MK_LBUTTON
  EXPECT_EQ(got[0].lParam, MAKELPARAM(5, 10));
  EXPECT_EQ(got[0].pt.x, 15);
  EXPECT_TRUE(got[1].message == WM_MOUSEMOVE && got[1].wParam == 1);
  EXPECT_EQ(got[1].lParam, MAKELPARAM(290, 10));
  EXPECT_TRUE(got[2].hwnd == front && got[2].message == WM_LBUTTONUP && got[2].wParam == 0);
  EXPECT_EQ(got[3].hwnd, back);
  EXPECT_EQ(got[3].lParam, MAKELPARAM(300, 75));

  // no hover on a touch screen, nothing outside every window or for a minimised one
  wce::InjectPen(wce::PenAction::Up, 20, 70);
  wce::InjectPen(wce::PenAction::Move, 20, 70);
  wce::InjectPen(wce::PenAction::Down, 600, 900);
  ShowWindow(back, SW_MINIMIZE);
  wce::InjectPen(wce::PenAction::Down, 300, 300);
  EXPECT_EQ(Drain().size(), 1u);  // the lift that ended the last touch
}

TEST_F(InputTest, KeysGoToTheForegroundWindowWhileItShows) {
  HWND a = NewWindow(WS_VISIBLE);
  HWND b = NewWindow(WS_VISIBLE);
  Drain();
  wce::InjectKey(VK_LEFT, true);
  wce::InjectKey(VK_LEFT, false);
  ShowWindow(a, SW_HIDE);
  ShowWindow(b, SW_MINIMIZE);
  wce::InjectKey(VK_SPACE, true);  // a minimised program has no focus
  std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_TRUE(got[0].hwnd == b && got[0].message == WM_KEYDOWN && got[0].wParam == VK_LEFT && got[0].lParam == 1);
  EXPECT_EQ(got[1].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(static_cast<uint32_t>(got[1].lParam), 0xC0000001u);
}

TEST_F(InputTest, FocusFromTheHostThreadIsSentToTheWindowsThreadOnChangesOnly) {
  HWND w = NewWindow(WS_VISIBLE);
  TraceLog trace;
  ClearLog();
  std::thread host([w] {
    wce::InjectActivate(false);  // returns once the window has handled it
    wce::InjectActivate(false);
    wce::InjectActivate(true);
    wce::InjectActivate(true);
    PostMessageW(w, WM_USER + 9, 0, 0);
  });
  MSG m{};
  while (GetMessageW(&m, nullptr, 0, 0) > 0 && m.message != WM_USER + 9) DispatchMessageW(&m);
  host.join();
  std::vector<Logged> seen = LoggedOf(WM_ACTIVATE);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[0].wParam == WA_INACTIVE && seen[1].wParam == WA_ACTIVE);
  EXPECT_EQ(seen[0].thread, GetCurrentThreadId());
  EXPECT_EQ(trace.Take(), (std::vector<std::string>{"deactivate", "activate"}));

  // the desktop's minimise button, and activation while minimised saying so in the high word
  wce::InjectMinimize(true);
  wce::InjectMinimize(true);
  EXPECT_TRUE(IsIconic(w) && wce::ForegroundMinimized());
  ClearLog();
  wce::InjectActivate(true);
  EXPECT_EQ(LoggedOf(WM_ACTIVATE).at(0).wParam, MAKEWPARAM(WA_ACTIVE, 1));
  wce::InjectMinimize(false);
  EXPECT_FALSE(wce::ForegroundMinimized());
  EXPECT_EQ(trace.Take(), (std::vector<std::string>{"window minimized", "deactivate", "activate",
                                                     "window restored"}));
}

TEST_F(InputTest, CloseRequestPostsWmCloseToVisibleTopLevelWindows) {
  HWND a = NewWindow(WS_VISIBLE);
  HWND b = NewWindow(WS_VISIBLE);
  NewWindow();  // hidden
  CreateWindowExW(0, L"LogClass", L"c", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, a, nullptr, nullptr, nullptr);
  ShowWindow(b, SW_MINIMIZE);  // minimised still counts
  Drain();
  wce::RequestClose();
  std::vector<MSG> got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_TRUE(got[0].message == WM_CLOSE && got[1].message == WM_CLOSE);
  EXPECT_TRUE((got[0].hwnd == a && got[1].hwnd == b) || (got[0].hwnd == b && got[1].hwnd == a));
}

}  // namespace
}  // namespace usertest
