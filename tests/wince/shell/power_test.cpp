// SystemIdleTimerReset and the vibration motor behind NLedSetDevice: the
// trace, the counters and the host's callbacks.
#include <nled.h>
#include <windows.h>

#include <vector>

#include "device/internal.h"
#include "shell/power.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

BOOL Led(UINT led, INT offOnBlink) {
  NLED_SETTINGS_INFO info{};
  info.LedNum = led;
  info.OffOnBlink = offOnBlink;
  return NLedSetDevice(NLED_SETTINGS_INFO_ID, &info);
}

class PowerTest : public ShellTest {
 protected:
  void TearDown() override {
    wce::SetIdleResetCallback(nullptr);
    wce::SetVibrationCallback(nullptr);
    ShellTest::TearDown();
  }
};

TEST_F(PowerTest, IdleResetIsTracedCountedAndReported) {
  int calls = 0;
  wce::SetIdleResetCallback([&] { ++calls; });
  SystemIdleTimerReset();
  SystemIdleTimerReset();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(wce::shell::IdleResetCount(), 2);
  EXPECT_EQ(Events(), (std::vector<std::string>{"idle-reset", "idle-reset"}));
  wce::internal::ShellReset();
  EXPECT_EQ(wce::shell::IdleResetCount(), 0);
}

TEST_F(PowerTest, MotorFollowsLedOneOnChangesOnly) {
  std::vector<bool> motor;
  wce::SetVibrationCallback([&](bool on) { motor.push_back(on); });
  EXPECT_TRUE(Led(1, 1));
  EXPECT_TRUE(wce::shell::VibrationOn());
  EXPECT_TRUE(Led(1, 1));
  EXPECT_TRUE(Led(1, 2));  // blinking keeps it running
  EXPECT_TRUE(Led(1, 0));
  EXPECT_FALSE(wce::shell::VibrationOn());
  EXPECT_TRUE(Led(1, 0));
  EXPECT_EQ(motor, (std::vector<bool>{true, false}));
  EXPECT_EQ(Events(), (std::vector<std::string>{"vibrate on", "vibrate off"}));
}

TEST_F(PowerTest, OtherLedsAreAcceptedWithoutVibrating) {
  EXPECT_TRUE(Led(0, 1));
  EXPECT_TRUE(Led(2, 2));
  EXPECT_FALSE(wce::shell::VibrationOn());
  EXPECT_TRUE(Events().empty());
}

TEST_F(PowerTest, BadRequestsFail) {
  NLED_SETTINGS_INFO info{};
  info.LedNum = 1;
  info.OffOnBlink = 1;
  SetLastError(0);
  EXPECT_FALSE(NLedSetDevice(NLED_SETTINGS_INFO_ID, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(NLedSetDevice(NLED_COUNT_INFO_ID, &info));
  EXPECT_FALSE(NLedSetDevice(NLED_SUPPORTS_INFO_ID, &info));
  EXPECT_FALSE(Led(1, 3));
  EXPECT_FALSE(Led(1, -1));
  EXPECT_FALSE(wce::shell::VibrationOn());
  EXPECT_TRUE(Events().empty());
}

TEST_F(PowerTest, NewDeviceStopsARunningMotor) {
  std::vector<bool> motor;
  wce::SetVibrationCallback([&](bool on) { motor.push_back(on); });
  ASSERT_TRUE(Led(1, 1));
  wce::internal::ShellReset();
  EXPECT_FALSE(wce::shell::VibrationOn());
  EXPECT_EQ(motor, (std::vector<bool>{true, false}));
  EXPECT_TRUE(Led(1, 1));  // and it starts again from off
  EXPECT_EQ(motor, (std::vector<bool>{true, false, true}));
}

}  // namespace
}  // namespace shelltest
