// Timers on the virtual clock: exact periods, no backlog, replacing, killing.
#include "user_fixture.h"

namespace usertest {
namespace {

using TimersTest = UserTest;

DWORD NextTimerTick(HWND filter = nullptr) {
  MSG m{};
  EXPECT_EQ(GetMessageW(&m, filter, WM_TIMER, WM_TIMER), TRUE);
  return GetTickCount();
}

TEST_F(TimersTest, FiresEveryPeriodExactly) {
  HWND w = NewWindow();
  ASSERT_EQ(SetTimer(w, 1, 50, nullptr), 1u);
  std::vector<DWORD> ticks;
  for (int i = 0; i < 4; ++i) {
    MSG m{};
    ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(m.wParam, 1u);
    ticks.push_back(m.time);
    DispatchMessageW(&m);
  }
  EXPECT_EQ(ticks, (std::vector<DWORD>{50, 100, 150, 200}));
  EXPECT_EQ(gLog.back().message, static_cast<UINT>(WM_TIMER));  // no procedure: the window's gets it
}

TEST_F(TimersTest, LateTimerFiresOnceThenKeepsItsPhase) {
  HWND w = NewWindow();
  SetTimer(w, 1, 50, nullptr);
  Sleep(175);  // missed 50, 100 and 150
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(NextTimerTick(), 200u);
}

TEST_F(TimersTest, ReplacingRestartsFromNow) {
  HWND w = NewWindow();
  SetTimer(w, 1, 50, nullptr);
  Sleep(30);
  SetTimer(w, 1, 100, nullptr);
  EXPECT_EQ(NextTimerTick(), 130u);
  EXPECT_EQ(NextTimerTick(), 230u);
}

TEST_F(TimersTest, KillTakesBackAPendingTimer) {
  HWND w = NewWindow();
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 40, nullptr);
  Sleep(50);
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 3));
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

struct ProcCall {
  HWND hwnd;
  UINT message;
  UINT_PTR id;
  DWORD time;
};
std::vector<ProcCall> gProcCalls;
void CALLBACK TimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time) {
  gProcCalls.push_back({hwnd, message, id, time});
}

TEST_F(TimersTest, TimerProcedureIsCalledByDispatch) {
  gProcCalls.clear();
  HWND w = NewWindow();
  SetTimer(w, 7, 40, TimerProc);
  MSG m{};
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(&TimerProc));
  gLog.clear();
  DispatchMessageW(&m);
  ASSERT_EQ(gProcCalls.size(), 1u);
  EXPECT_EQ(gProcCalls[0].hwnd, w);
  EXPECT_EQ(gProcCalls[0].message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(gProcCalls[0].id, 7u);
  EXPECT_EQ(gProcCalls[0].time, 40u);
  EXPECT_TRUE(gLog.empty());  // the window procedure is not involved

  // killed between retrieval and dispatch: nothing is called
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  KillTimer(w, 7);
  DispatchMessageW(&m);
  EXPECT_EQ(gProcCalls.size(), 1u);
}

TEST_F(TimersTest, ThreadTimerGetsANewId) {
  gProcCalls.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 20, TimerProc);
  ASSERT_NE(id, 0u);
  EXPECT_NE(SetTimer(nullptr, 0, 30, nullptr), id);
  MSG m{};
  ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_EQ(m.wParam, id);
  DispatchMessageW(&m);
  ASSERT_EQ(gProcCalls.size(), 1u);
  EXPECT_EQ(gProcCalls[0].time, 20u);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(TimersTest, DestroyingTheWindowKillsItsTimers) {
  HWND w = NewWindow(WS_CHILD, NewWindow());  // a child: its WM_DESTROY does not quit
  SetTimer(w, 1, 10, nullptr);
  Sleep(20);
  DestroyWindow(w);
  MSG m{};
  EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(TimersTest, TimerSetFromAnotherThreadWakesTheOwner) {
  struct Job {
    HWND w;
  } job{NewWindow()};
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    Sleep(100);
    SetTimer(static_cast<Job*>(p)->w, 3, 25, nullptr);
    return 0;
  }, &job, 0, nullptr);
  EXPECT_EQ(NextTimerTick(job.w), 125u);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
}

}  // namespace
}  // namespace usertest
