// The transition clock on the device's virtual clock: progress over the
// duration, the final frame kept for one tick, restarts, durations that
// disable it, and a tick counter that wraps in between.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "device/device.h"
#include "ui/composite/ScreenTransition.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

const UINT_PTR kTimer = 5;

void CALLBACK NoTick(HWND, UINT, UINT_PTR, DWORD) {}

// Sleeps until device time `ms` (the test thread is the program's).
void At(uint64_t ms) {
  uint64_t now = wce::ClockNowMs();
  ASSERT_LE(now, ms);
  if (ms > now) Sleep(static_cast<DWORD>(ms - now));
}

class ScreenTransitionTest : public UiTest {};

TEST_F(ScreenTransitionTest, TicksFollowTheClockAndTheTickAfterTheEndStops) {
  enum Action { Start, Tick };
  const struct {
    uint64_t at;
    Action action;
    double progress;
    bool running;
  } timeline[] = {
      {100, Start, 0.0, true},
      {250, Tick, 0.5, true},   // 150 ms of 300
      {500, Tick, 1.0, true},   // 400 ms: clamped, the final frame still to paint
      {511, Tick, 1.0, false},  // the next tick stops
      {600, Start, 0.0, true},
      {700, Start, 0.0, true},  // a start while running restarts from here
      {850, Tick, 0.5, true},
      {1000, Tick, 1.0, true},  // exactly 300 ms
      {1011, Tick, 1.0, false},
  };
  ScreenTransition clock;
  clock.SetKind(1).SetDuration(300);
  for (const auto& step : timeline) {
    At(step.at);
    if (step.action == Start) {
      clock.Start(window_, kTimer, 11, NoTick);
    } else {
      clock.Tick(window_, kTimer);
    }
    EXPECT_EQ(clock.Progress(), step.progress) << "at " << step.at;
    EXPECT_EQ(clock.IsRunning(), step.running) << "at " << step.at;
  }
  // Stopping took the timer away.
  EXPECT_FALSE(KillTimer(window_, kTimer));
}

TEST_F(ScreenTransitionTest, DurationsAndKindsThatDisableTheClock) {
  ScreenTransition clock;
  EXPECT_EQ(clock.Kind(), 0);
  EXPECT_EQ(clock.Duration(), 400);
  clock.SetDuration(-5);
  EXPECT_EQ(clock.Duration(), 400);
  // Kind 0 shows nothing, so it never starts.
  clock.Start(window_, kTimer, 11, NoTick);
  EXPECT_FALSE(clock.IsRunning());
  clock.SetKind(2).SetDuration(0);
  EXPECT_EQ(clock.Duration(), 0);
  clock.Start(window_, kTimer, 11, NoTick);
  EXPECT_FALSE(clock.IsRunning());
  EXPECT_FALSE(KillTimer(window_, kTimer));
}

TEST_F(ScreenTransitionTest, ATickCountThatWrapsStillGivesTheTrueElapsedTime) {
  ScreenTransition clock;
  clock.SetKind(3).SetDuration(1024);
  At(0xFFFFFF00ull);
  clock.Start(window_, kTimer, 11, NoTick);
  At(0x100000100ull);
  ASSERT_LT(GetTickCount(), 0x200u);
  clock.Tick(window_, kTimer);
  EXPECT_EQ(clock.Progress(), 0.5);
}

}  // namespace
}  // namespace uitest
