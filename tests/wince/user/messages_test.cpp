// Message order, filters, posting and sending across threads.
#include <atomic>

#include "user_fixture.h"

namespace usertest {
namespace {

using MessagesTest = UserTest;

TEST_F(MessagesTest, PostedThenQuitThenTimer) {
  HWND w = NewWindow();
  ASSERT_NE(w, nullptr);
  SetTimer(w, 1, 10, nullptr);
  Sleep(20);  // the timer is due, but posted messages and the quit come first
  PostMessageW(w, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  PostMessageW(nullptr, WM_USER + 2, 0, 0);

  MSG m{};
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_EQ(m.hwnd, w);
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(GetTickCount(), 20u);
}

TEST_F(MessagesTest, FiltersAndPeek) {
  HWND a = NewWindow();
  HWND b = NewWindow();
  PostMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(b, WM_USER + 2, 0, 0);
  PostMessageW(a, WM_APP, 0, 0);
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(m.hwnd, a);
  ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_REMOVE));  // still there after PM_NOREMOVE
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageW(&m, b, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageW(&m, a, WM_APP, WM_APP, PM_REMOVE));
  // WM_QUIT passes any range filter, once nothing matching is posted
  PostQuitMessage(1);
  ASSERT_EQ(GetMessageW(&m, nullptr, WM_USER + 1, WM_USER + 1), TRUE);
  EXPECT_EQ(GetMessageW(&m, nullptr, WM_APP, WM_APP), FALSE);
}

TEST_F(MessagesTest, BadAndStaleHandlesFail) {
  HWND w = NewWindow();
  HWND dead = NewWindow();
  ASSERT_TRUE(DestroyWindow(dead));
  HWND bad[] = {dead, WithLowBit(w), reinterpret_cast<HWND>(uintptr_t{0x4242})};
  for (HWND h : bad) {
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(h, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageW(h, WM_USER + 1, 0, 0), 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
    EXPECT_FALSE(KillTimer(h, 1));
    MSG m{};
    EXPECT_EQ(GetMessageW(&m, h, 0, 0), -1);
    EXPECT_FALSE(PeekMessageW(&m, h, 0, 0, PM_REMOVE));
    m.hwnd = h;
    m.message = WM_USER + 1;
    EXPECT_EQ(DispatchMessageW(&m), 0);
  }
  EXPECT_FALSE(PostThreadMessageW(0x7fffffff, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
  EXPECT_EQ(LoggedMessages(), (std::vector<UINT>{WM_CREATE, WM_CREATE, WM_DESTROY}));
}

struct SendJob {
  HWND target;
  DWORD delay;
  LRESULT result = -5;
  DWORD returnedAt = 0;
};

DWORD WINAPI SendLater(LPVOID p) {
  auto* job = static_cast<SendJob*>(p);
  Sleep(job->delay);
  job->result = SendMessageW(job->target, WM_USER + 4, 0, 0);
  job->returnedAt = GetTickCount();
  PostMessageW(job->target, WM_USER + 50, 0, 0);
  return 0;
}

TEST_F(MessagesTest, SendFromAnotherThreadRunsOnTheOwnerInsideGetMessage) {
  HWND w = NewWindow();
  SendJob job{w, 300};
  HANDLE h = CreateThread(nullptr, 0, SendLater, &job, 0, nullptr);
  MSG m{};
  // the sent message is handled inside GetMessageW and never returned by it
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 50));
  EXPECT_EQ(GetTickCount(), 300u);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  EXPECT_EQ(job.result, 8);
  EXPECT_EQ(job.returnedAt, 300u);
  ASSERT_EQ(gLog.back().message, static_cast<UINT>(WM_USER + 4));
  EXPECT_EQ(gLog.back().thread, GetCurrentThreadId());
}

TEST_F(MessagesTest, SendToAWindowThatDiesReturnsZero) {
  struct Owner {
    std::atomic<HWND> window{nullptr};
    SendJob sender{nullptr, 0};
  } owner;
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    auto* o = static_cast<Owner*>(p);
    o->sender.target = NewWindow();
    HANDLE s = CreateThread(nullptr, 0, SendLater, &o->sender, 0, nullptr);
    Sleep(100);  // not pumping: the sender waits
    DestroyWindow(o->sender.target);
    WaitForSingleObject(s, INFINITE);
    CloseHandle(s);
    return 0;
  }, &owner, 0, nullptr);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  EXPECT_EQ(owner.sender.result, 0);
  EXPECT_EQ(owner.sender.returnedAt, 100u);
  for (UINT msg : LoggedMessages()) EXPECT_NE(msg, static_cast<UINT>(WM_USER + 4));
}

TEST_F(MessagesTest, DriverMovesTimeWhileTheLoopWaitsForever) {
  std::atomic<HWND> window{nullptr};
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    *static_cast<std::atomic<HWND>*>(p) = NewWindow();
    MSG m{};
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return static_cast<DWORD>(m.wParam);
  }, &window, 0, nullptr);
  wce::UnregisterProgramThread();  // this thread drives from now on

  wce::ClockAdvanceTo(1000);  // the loop waits with no deadline: time jumps to the target
  EXPECT_EQ(wce::ClockNowMs(), 1000u);
  ASSERT_NE(window.load(), nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);  // DefWindowProc destroys, WM_DESTROY quits
  EXPECT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  GetExitCodeThread(h, &code);
  EXPECT_EQ(code, 9u);
  EXPECT_EQ(wce::ClockNowMs(), 1000u);
  CloseHandle(h);
}

// A thread that spins on PeekMessageW waits, in effect, for its next timer.
TEST_F(MessagesTest, PeekingInALoopLetsTimeReachTheNextTimer) {
  SetTimer(nullptr, 0, 30, nullptr);
  MSG m{};
  int polls = 0;
  while (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ++polls;
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(GetTickCount(), 30u);
  EXPECT_LE(polls, 2);
}

}  // namespace
}  // namespace usertest
