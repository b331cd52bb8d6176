// Threads that poll instead of waiting let device time move; a thread that
// never waits is named by the watchdog instead of hanging the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "device/device.h"

namespace {

class PollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::RegisterProgramThread();
  }
  void TearDown() override { wce::UnregisterProgramThread(); }
};

struct Poller {
  LONG flag = 0;      // set by the main thread
  DWORD until = 0;    // or: poll until this device time
  DWORD sawAt = 0;
};

DWORD WINAPI PollSleepZero(LPVOID p) {
  auto* s = static_cast<Poller*>(p);
  while (!InterlockedCompareExchange(&s->flag, 0, 0) && GetTickCount() < s->until) Sleep(0);
  s->sawAt = GetTickCount();
  return 0;
}

TEST_F(PollTest, SleepZeroLoopsWaitForWhatComesNext) {
  // {poll until, main sets the flag after, main then sleeps, poller sees it at}
  const struct {
    DWORD until, flagAfter, thenSleep, sawAt;
  } rows[] = {
      {50, 1000, 100, 100},  // time: its first chance is the main thread's deadline
      {1000, 30, 100, 30},   // a flag the main thread sets once it wakes
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.until);
    wce::ClockReset(wce::ClockMode::Virtual);
    Poller p{0, r.until, 0};
    HANDLE h = CreateThread(nullptr, 0, PollSleepZero, &p, 0, nullptr);
    Sleep(r.flagAfter < r.thenSleep ? r.flagAfter : r.thenSleep);
    InterlockedExchange(&p.flag, 1);
    ASSERT_EQ(WaitForSingleObject(h, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(h);
    EXPECT_EQ(p.sawAt, r.sawAt);
  }
}

struct Told {
  std::mutex mutex;
  std::condition_variable cv;
  std::string what;
};

DWORD WINAPI SpinUntilStopped(LPVOID p) {
  auto* stop = static_cast<LONG*>(p);
  while (!InterlockedCompareExchange(stop, 0, 0)) {
  }
  return 0;
}

TEST_F(PollTest, TheWatchdogNamesAThreadThatNeverWaits) {
  const auto limit = wce::GetStallLimit();
  wce::SetStallLimit(std::chrono::milliseconds(100));
  Told told;
  LONG stop = 0;
  wce::SetStallHandler([&](const std::string& what) {
    std::lock_guard<std::mutex> lock(told.mutex);
    told.what = what;
    InterlockedExchange(&stop, 1);  // lets the run go on
  });
  DWORD id = 0;
  HANDLE h = CreateThread(nullptr, 0, SpinUntilStopped, &stop, 0, &id);
  Sleep(10);  // cannot end before the spinner does
  EXPECT_EQ(GetTickCount(), 10u);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  wce::SetStallHandler(nullptr);
  wce::SetStallLimit(limit);
  std::lock_guard<std::mutex> lock(told.mutex);
  EXPECT_EQ(told.what.rfind("thread " + std::to_string(id) + " (", 0), 0u) << told.what;
  EXPECT_NE(told.what.find("has not waited for 0.1 s"), std::string::npos) << told.what;
}

}  // namespace
