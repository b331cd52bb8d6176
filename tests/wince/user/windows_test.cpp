// Classes and windows: creation, destruction, window longs, ownership.
#include <atomic>

#include "user_fixture.h"

namespace usertest {
namespace {

using WindowsTest = UserTest;

TEST_F(WindowsTest, ClassNamesAreCaseInsensitive) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = LogProc;
  wc.lpszClassName = L"LOGCLASS";
  EXPECT_EQ(RegisterClassW(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  HWND w = CreateWindowExW(0, L"logclass", nullptr, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(UnregisterClassW(L"LogClass", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassW(L"logCLASS", nullptr));
  EXPECT_FALSE(UnregisterClassW(L"LogClass", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
  EXPECT_EQ(NewWindow(), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

struct CreateSeen {
  CREATESTRUCTW cs;
  LRESULT answer;
};
LRESULT CALLBACK CreateProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* seen = static_cast<CreateSeen*>(cs->lpCreateParams);
    seen->cs = *cs;
    return seen->answer;
  }
  return LogProc(hwnd, msg, wParam, lParam);
}

TEST_F(WindowsTest, CreateRunsWmCreateWithDefaultsFromTheScreen) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CreateProc;
  wc.lpszClassName = L"CreateClass";
  ATOM atom = RegisterClassW(&wc);
  wce::SetScreenSize(240, 320);
  CreateSeen seen{{}, 0};
  HWND w = CreateWindowExW(0, MAKEINTATOM(atom), L"Title", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, &seen);
  wce::SetScreenSize(480, 640);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(seen.cs.x, 0);
  EXPECT_EQ(seen.cs.cx, 240);
  EXPECT_EQ(seen.cs.cy, 320);
  EXPECT_EQ(seen.cs.style, static_cast<LONG>(WS_VISIBLE));
  EXPECT_STREQ(seen.cs.lpszName, L"Title");

  seen.answer = -1;  // refusing WM_CREATE destroys the window and fails the call
  gLog.clear();
  EXPECT_EQ(CreateWindowExW(0, L"CreateClass", nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, &seen), nullptr);
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_DESTROY}));
}

TEST_F(WindowsTest, DestroyTellsParentThenChildrenAndDropsTheirMessages) {
  HWND parent = NewWindow();
  EXPECT_EQ(NewWindow(WS_CHILD), nullptr);  // a child needs a parent
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  HWND child = NewWindow(WS_CHILD, parent);
  ASSERT_NE(child, nullptr);
  PostMessageW(child, WM_USER + 1, 0, 0);
  PostMessageW(parent, WM_USER + 2, 0, 0);
  gLog.clear();
  ASSERT_TRUE(DestroyWindow(parent));
  ASSERT_EQ(gLog.size(), 2u);
  EXPECT_EQ(gLog[0].hwnd, parent);
  EXPECT_EQ(gLog[1].hwnd, child);
  EXPECT_FALSE(IsWindow(child));
  MSG m{};
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);  // only the parent's quit is left
  EXPECT_EQ(m.wParam, 9u);
}

LRESULT CALLBACK Doubler(HWND, UINT msg, WPARAM, LPARAM) { return msg * 2; }

TEST_F(WindowsTest, WindowLongs) {
  HWND w = NewWindow(WS_VISIBLE);
  EXPECT_EQ(SetWindowLongW(w, GWL_USERDATA, 1234), 0);
  EXPECT_EQ(GetWindowLongW(w, GWL_USERDATA), 1234);
  EXPECT_EQ(GetWindowLongW(w, GWL_STYLE), static_cast<LONG>(WS_VISIBLE));
  // a procedure only travels in the pointer-sized form on this host
  EXPECT_EQ(GetWindowLongW(w, GWL_WNDPROC), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Doubler)),
            reinterpret_cast<LONG_PTR>(&LogProc));
  EXPECT_EQ(SendMessageW(w, 100, 0, 0), 200);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongW(w, 12345), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  DWORD pid = 0;
  EXPECT_EQ(GetWindowThreadProcessId(w, &pid), GetCurrentThreadId());
  EXPECT_NE(pid, 0u);
  EXPECT_EQ(GetWindowThreadProcessId(WithLowBit(w), &pid), 0u);
}

TEST_F(WindowsTest, OnlyTheOwnerDestroysAndItsEndTakesItsWindows) {
  HWND mine = NewWindow();
  struct Job {
    HWND other;
    BOOL destroyed;
    DWORD error;
    std::atomic<HWND> made{nullptr};
  } job{mine, TRUE, 0};
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    auto* j = static_cast<Job*>(p);
    j->destroyed = DestroyWindow(j->other);
    j->error = GetLastError();
    j->made = NewWindow();
    return 0;
  }, &job, 0, nullptr);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  EXPECT_FALSE(job.destroyed);
  EXPECT_EQ(job.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(IsWindow(mine));
  ASSERT_NE(job.made.load(), nullptr);
  EXPECT_FALSE(IsWindow(job.made));
}

TEST_F(WindowsTest, ResetDropsEverythingSilently) {
  HWND w = NewWindow();
  SetTimer(w, 1, 10, nullptr);
  PostMessageW(w, WM_USER, 0, 0);
  gLog.clear();
  wce::internal::UserReset();
  EXPECT_TRUE(gLog.empty());
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(NewWindow(), nullptr);  // the class went too
  MSG m{};
  Sleep(20);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace usertest
