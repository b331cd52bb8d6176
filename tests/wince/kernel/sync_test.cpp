// Critical sections, interlocked counters and events, on the virtual clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "device/device.h"

namespace {

class SyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::RegisterProgramThread();
  }
  void TearDown() override { wce::UnregisterProgramThread(); }
};

HANDLE Start(LPTHREAD_START_ROUTINE proc, void* param) {
  HANDLE h = CreateThread(nullptr, 0, proc, param, 0, nullptr);
  EXPECT_NE(h, nullptr);
  return h;
}

void Join(HANDLE h) {
  EXPECT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(h);
}

DWORD WINAPI TryFromOtherThread(LPVOID p) {
  auto* cs = static_cast<CRITICAL_SECTION*>(p);
  if (!TryEnterCriticalSection(cs)) return 0;
  LeaveCriticalSection(cs);
  return 1;
}

BOOL OtherThreadCanEnter(CRITICAL_SECTION* cs) {
  HANDLE h = Start(TryFromOtherThread, cs);
  WaitForSingleObject(h, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(h, &code);
  CloseHandle(h);
  return code != 0;
}

TEST_F(SyncTest, OwnerEntersAgainAndMustLeaveAsOften) {
  CRITICAL_SECTION cs;
  InitializeCriticalSection(&cs);
  EnterCriticalSection(&cs);
  EXPECT_TRUE(TryEnterCriticalSection(&cs));
  EnterCriticalSection(&cs);
  // {leaves so far, may another thread enter now}
  const struct {
    int leaves;
    bool othersMayEnter;
  } steps[] = {{0, false}, {1, false}, {2, false}, {3, true}};
  int left = 0;
  for (const auto& step : steps) {
    while (left < step.leaves) {
      LeaveCriticalSection(&cs);
      ++left;
    }
    EXPECT_EQ(OtherThreadCanEnter(&cs), step.othersMayEnter) << "after " << step.leaves << " leaves";
  }
  DeleteCriticalSection(&cs);
}

// A holder sleeps in device time inside the lock; the contender's wait must
// count as waiting, so time moves and the contender gets in exactly then.
struct Contest {
  CRITICAL_SECTION cs;
  LONG counter = 0;  // plain increments, guarded by cs
  LONG atomicCounter = 0;
  std::vector<DWORD> enteredAt;
};

DWORD WINAPI HoldAndSleep(LPVOID p) {
  auto* c = static_cast<Contest*>(p);
  EnterCriticalSection(&c->cs);
  c->enteredAt.push_back(GetTickCount());
  Sleep(100);
  LeaveCriticalSection(&c->cs);
  return 0;
}

DWORD WINAPI Hammer(LPVOID p) {
  auto* c = static_cast<Contest*>(p);
  for (int i = 0; i < 20000; ++i) {
    EnterCriticalSection(&c->cs);
    c->counter = c->counter + 1;
    LeaveCriticalSection(&c->cs);
    InterlockedIncrement(&c->atomicCounter);
  }
  return 0;
}

TEST_F(SyncTest, ContendersWaitInDeviceTime) {
  Contest c;
  InitializeCriticalSection(&c.cs);
  HANDLE a = Start(HoldAndSleep, &c);
  Sleep(10);  // a holds the lock and sleeps until 100
  EnterCriticalSection(&c.cs);
  c.enteredAt.push_back(GetTickCount());
  LeaveCriticalSection(&c.cs);
  Join(a);
  EXPECT_EQ(c.enteredAt, (std::vector<DWORD>{0, 100}));

  HANDLE h[] = {Start(Hammer, &c), Start(Hammer, &c)};
  Hammer(&c);
  for (HANDLE t : h) Join(t);
  EXPECT_EQ(c.counter, 60000);
  EXPECT_EQ(c.atomicCounter, 60000);
  DeleteCriticalSection(&c.cs);
}

TEST_F(SyncTest, InterlockedReturnsTheRightValues) {
  LONG v = 5;
  EXPECT_EQ(InterlockedIncrement(&v), 6);
  EXPECT_EQ(InterlockedDecrement(&v), 5);
  EXPECT_EQ(InterlockedExchange(&v, 9), 5);
  EXPECT_EQ(InterlockedCompareExchange(&v, 1, 3), 9);  // no match: unchanged
  EXPECT_EQ(v, 9);
  EXPECT_EQ(InterlockedCompareExchange(&v, 1, 9), 9);
  EXPECT_EQ(v, 1);
}

TEST_F(SyncTest, EventsResetAsCreated) {
  const DWORD T = static_cast<DWORD>(WAIT_TIMEOUT), O = WAIT_OBJECT_0;
  const struct {
    BOOL manual, initial;
    DWORD first, second, afterSet, afterSetAgain, afterReset;
  } rows[] = {
      {FALSE, FALSE, T, T, O, T, T},
      {FALSE, TRUE, O, T, O, T, T},
      {TRUE, FALSE, T, T, O, O, T},
      {TRUE, TRUE, O, O, O, O, T},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "manual " << r.manual << " initial " << r.initial);
    HANDLE e = CreateEventW(nullptr, r.manual, r.initial, L"ignored");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), r.first);
    EXPECT_EQ(WaitForSingleObject(e, 0), r.second);
    ASSERT_TRUE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), r.afterSet);
    EXPECT_EQ(WaitForSingleObject(e, 0), r.afterSetAgain);
    ASSERT_TRUE(SetEvent(e));
    ASSERT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), r.afterReset);
    EXPECT_TRUE(CloseHandle(e));
    EXPECT_FALSE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(e));
  }
  EXPECT_EQ(GetTickCount(), 0u);  // zero timeouts never move time
}

struct Signaller {
  HANDLE event;
  DWORD after;
};

DWORD WINAPI SetLater(LPVOID p) {
  auto* s = static_cast<Signaller*>(p);
  Sleep(s->after);
  SetEvent(s->event);
  return 0;
}

TEST_F(SyncTest, TimedEventWaitsEndAtDeviceDeadlines) {
  HANDLE e = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 250), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(GetTickCount(), 250u);

  Signaller s{e, 100};
  HANDLE t = Start(SetLater, &s);
  EXPECT_EQ(WaitForSingleObject(e, 1000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(GetTickCount(), 350u);
  Join(t);
  CloseHandle(e);
}

}  // namespace
