// The virtual clock: time moves only when every program thread waits, and then
// exactly to the next deadline (or the driver's target).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>
#if defined(__linux__)
#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#endif

#include "device/device.h"
#include "kernel/clock.h"

namespace {

class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override { wce::ClockReset(wce::ClockMode::Virtual); }
  void TearDown() override { wce::UnregisterProgramThread(); }
};

// Records every move of the clock.
class Moves {
 public:
  Moves() : id_(wce::ClockAddListener([this](uint64_t from, uint64_t to) { ranges_.emplace_back(from, to); })) {}
  ~Moves() { wce::ClockRemoveListener(id_); }
  // Safe to read once the clock is driven to rest by the reading thread.
  std::vector<std::pair<uint64_t, uint64_t>> Take() { return std::exchange(ranges_, {}); }

 private:
  int id_;
  std::vector<std::pair<uint64_t, uint64_t>> ranges_;
};

using Ranges = std::vector<std::pair<uint64_t, uint64_t>>;

struct Sleeper {
  DWORD period;
  int times;
  std::vector<DWORD> ticks;
};

DWORD WINAPI SleepLoop(LPVOID p) {
  auto* s = static_cast<Sleeper*>(p);
  for (int i = 0; i < s->times; ++i) {
    Sleep(s->period);
    s->ticks.push_back(GetTickCount());
  }
  return 0;
}

TEST_F(ClockTest, ThreadsWakeInDeviceTimeOrder) {
  wce::RegisterProgramThread();
  Sleeper fast{500, 5, {}};
  HANDLE h = CreateThread(nullptr, 0, SleepLoop, &fast, 0, nullptr);
  ASSERT_NE(h, nullptr);
  Sleep(2000);
  EXPECT_EQ(GetTickCount(), 2000u);
  Sleep(0);  // a yield: no time passes
  EXPECT_EQ(wce::ClockNowMs(), 2000u);
  ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount(), 2500u);
  EXPECT_EQ(fast.ticks, (std::vector<DWORD>{500, 1000, 1500, 2000, 2500}));
  CloseHandle(h);
}

TEST_F(ClockTest, TimeHoldsStillWhileAProgramThreadWorks) {
  // One thread sleeps; the other keeps busy for a while before it sleeps. The
  // busy one must see time stand still, and wake first.
  wce::RegisterProgramThread();
  std::atomic<bool> stoodStill{true};
  struct Worker {
    std::atomic<bool>* stoodStill;
    DWORD woke = 0;
  } worker{&stoodStill};
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    auto* w = static_cast<Worker*>(p);
    for (int i = 0; i < 20000; ++i) {
      if (GetTickCount() != 0) *w->stoodStill = false;
      std::this_thread::yield();
    }
    Sleep(50);
    w->woke = GetTickCount();
    return 0;
  }, &worker, 0, nullptr);
  Sleep(100);
  EXPECT_EQ(GetTickCount(), 100u);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  EXPECT_TRUE(stoodStill);
  EXPECT_EQ(worker.woke, 50u);
}

TEST_F(ClockTest, DriverAdvancesInStepsAndListenersSeeEachRange) {
  Moves moves;
  wce::ClockAdvanceTo(0);  // under the driver from the start, or time would run free
  // Start the program thread as a program thread, then hand the clock to this
  // (no longer registered) test thread.
  wce::RegisterProgramThread();
  Sleeper s{30, 10, {}};
  HANDLE h = CreateThread(nullptr, 0, SleepLoop, &s, 0, nullptr);
  wce::UnregisterProgramThread();

  wce::ClockAdvanceTo(100);
  EXPECT_EQ(wce::ClockNowMs(), 100u);
  EXPECT_EQ(moves.Take(), (Ranges{{0, 30}, {30, 60}, {60, 90}, {90, 100}}));
  EXPECT_EQ(s.ticks, (std::vector<DWORD>{30, 60, 90}));

  wce::ClockAdvanceTo(100);  // nothing due: no move
  EXPECT_TRUE(moves.Take().empty());

  wce::ClockAdvanceTo(130);
  EXPECT_EQ(moves.Take(), (Ranges{{100, 120}, {120, 130}}));

  // Past the thread's end (300): time stops at the target, never beyond.
  wce::ClockAdvanceTo(1000);
  EXPECT_EQ(wce::ClockNowMs(), 1000u);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  Ranges last = moves.Take();
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back(), (std::pair<uint64_t, uint64_t>{300, 1000}));
  EXPECT_EQ(s.ticks.back(), 300u);
  CloseHandle(h);
}

TEST_F(ClockTest, SettleLetsDueWorkFinishWithoutMovingTime) {
  wce::ClockAdvanceTo(0);
  wce::RegisterProgramThread();
  std::atomic<int> steps{0};
  HANDLE h = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
    auto* n = static_cast<std::atomic<int>*>(p);
    Sleep(40);
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    ++*n;
    Sleep(1000);
    return 0;
  }, &steps, 0, nullptr);
  wce::UnregisterProgramThread();
  wce::ClockAdvanceTo(40);
  EXPECT_EQ(steps, 1);  // the work due at 40 ran before AdvanceTo returned
  wce::ClockSettle();
  EXPECT_EQ(wce::ClockNowMs(), 40u);
  wce::ClockAdvanceTo(2000);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  CloseHandle(h);
}

TEST_F(ClockTest, ExitingProgramThreadReleasesTheDriver) {
  std::atomic<bool> registered{false};
  std::atomic<bool> driving{false};
  std::atomic<bool> stoodStill{true};
  std::thread worker([&] {
    wce::RegisterProgramThread();
    registered = true;
    while (!driving) std::this_thread::yield();
    for (int i = 0; i < 20000; ++i) {
      if (wce::ClockNowMs() != 0) stoodStill = false;
      std::this_thread::yield();
    }
    // ends without unregistering: the thread's end does it
  });
  // the worker must count before driving, or the driver would not wait for it
  while (!registered) std::this_thread::yield();
  driving = true;
  wce::ClockAdvanceTo(100);
  EXPECT_EQ(wce::ClockNowMs(), 100u);
  worker.join();
  EXPECT_TRUE(stoodStill);
}

TEST_F(ClockTest, UnregisteredThreadWaitsInDeviceTime) {
  wce::RegisterProgramThread();
  Sleeper s{100, 5, {}};
  HANDLE h = CreateThread(nullptr, 0, SleepLoop, &s, 0, nullptr);
  std::atomic<uint64_t> woke{0};
  std::thread outsider([&] {
    Sleep(250);
    woke = wce::ClockNowMs();
  });
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
  wce::UnregisterProgramThread();  // nothing holds time back now
  outsider.join();
  EXPECT_GE(woke.load(), 250u);
  EXPECT_EQ(s.ticks, (std::vector<DWORD>{100, 200, 300, 400, 500}));
}

TEST_F(ClockTest, ResetForgetsTimeAndDriver) {
  wce::ClockAdvanceTo(50);
  EXPECT_EQ(wce::ClockNowMs(), 50u);
  wce::ClockReset(wce::ClockMode::Virtual);
  EXPECT_EQ(wce::ClockNowMs(), 0u);
  wce::RegisterProgramThread();
  Sleep(500);  // free running again: no target holds it at 50
  EXPECT_EQ(wce::ClockNowMs(), 500u);
}

TEST_F(ClockTest, TickCountWrapsAtThirtyTwoBits) {
  const uint64_t wrap = uint64_t{1} << 32;
  wce::ClockAdvanceTo(wrap + 5);
  EXPECT_EQ(wce::ClockNowMs(), wrap + 5);
  EXPECT_EQ(GetTickCount(), 5u);
}

#if defined(__linux__)
// The calling thread's priority as the scheduler applies it now, lent ones
// included (the 18th field of its stat; lower is more urgent).
int EffectivePriority() {
  std::ifstream file("/proc/thread-self/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 18; ++i) fields >> field;
  return std::stoi(field);
}

TEST(DeviceLock, AHolderRunsAtThePriorityOfARealTimeThreadWaitingForIt) {
  std::unique_lock<std::mutex> held(wce::DeviceLock());
  const int own = EffectivePriority();
  std::atomic<int> waiter{0};  // 1 real-time and about to wait, -1 refused
  std::thread output([&] {
    sched_param param{};
    param.sched_priority = 10;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) {
      waiter = -1;
      return;
    }
    waiter = 1;
    std::lock_guard<std::mutex> lock(wce::DeviceLock());
  });
  bool lent = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (waiter >= 0 && !lent && std::chrono::steady_clock::now() < deadline) {
    lent = waiter == 1 && EffectivePriority() < own;
    std::this_thread::yield();
  }
  held.unlock();
  output.join();
  if (waiter < 0) GTEST_SKIP() << "no right to real-time scheduling here";
  EXPECT_TRUE(lent);
  EXPECT_EQ(EffectivePriority(), own);
}
#endif

}  // namespace
