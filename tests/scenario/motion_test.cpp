// Jerks on the headless bench: each axis and direction plays its slot's
// sound (each test WAV holds one constant value, so the recording says which
// slot sounded), with the pulse on the motor; leaving the Home page or the
// window turns motion detection off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_scenario.h"

namespace jptest {
namespace {

struct Jerk {
  const char* name;
  int x, y, z;
  int16_t slotValue;  // 1000 x the slot the jerk plays
};

// X and Y in each direction and Z, as the detectors map them to slots.
const Jerk kJerks[] = {{"x positive", 900, 0, -1000, 2000},
                       {"x negative", -900, 0, -1000, 4000},
                       {"y negative", 0, -900, -1000, 1000},
                       {"y positive", 0, 900, -1000, 3000},
                       {"z", 0, 0, -2000, 5000}};

// One jerk at the line's time, then rest; 500 ms in all.
std::string JerkLines(const Jerk& j) {
  return "accel " + std::to_string(j.x) + " " + std::to_string(j.y) + " " + std::to_string(j.z) +
         "\nwait 150\naccel 0 0 -1000\nwait 350\n";
}

class Motion : public AppScenario {};

TEST_F(Motion, EveryJerkPlaysItsSlotWithThePulse) {
  PrepareDefault();
  std::string script = "accel 0 0 -1000\nwait 2500\n" + Tap(at::kMotion) + "wait 100\n";
  for (const Jerk& j : kJerks) script += JerkLines(j);
  script += ShotLine("on");
  RunResult result = Run(script);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(ShowsPicture(Shot("on"), 366, 418, "Chk_General_2_Dn")) << "the motion switch shows on";

  std::vector<int16_t> recording = Recording();
  std::vector<std::pair<long, std::string>> trace = Trace();
  std::vector<long> on = EventTimes(trace, "vibrate on"), off = EventTimes(trace, "vibrate off");
  ASSERT_EQ(on.size(), std::size(kJerks)) << "one pulse a jerk";
  ASSERT_EQ(off.size(), on.size());
  long t = 2600;
  for (size_t k = 0; k < std::size(kJerks); ++k, t += 500) {
    SCOPED_TRACE(kJerks[k].name);
    EXPECT_EQ(ValuesBetween(recording, t, t + 500), std::vector<int16_t>{kJerks[k].slotValue});
    // Found on the second poll after the reading rose: the peak, then the first sample not above it.
    EXPECT_EQ(ValuesBetween(recording, t, t + 100), std::vector<int16_t>{});
    EXPECT_EQ(ValuesBetween(recording, t + 100, t + 101), std::vector<int16_t>{kJerks[k].slotValue});
    EXPECT_EQ(on[k], t + 100);
    EXPECT_EQ(off[k], t + 125);
  }
}

TEST_F(Motion, APageChangeOrLeavingTheWindowTurnsDetectionOff) {
  PrepareDefault();
  const Jerk& j = kJerks[0];
  std::string script = "accel 0 0 -1000\nwait 2500\n" +
                       // on, then to Sounds and back: off, and shown off
                       Tap(at::kMotion) + "wait 100\n" + Tap(at::kSoundsTab) + "wait 400\n" + Tap(at::kHomeTab) +
                       "wait 400\n" + ShotLine("back-home") + JerkLines(j) +
                       // on, then the window loses the foreground and gets it back
                       Tap(at::kMotion) + "wait 100\ndeactivate\nwait 100\nactivate\nwait 100\n" +
                       ShotLine("reactivated") + JerkLines(j) +
                       // on again, and the same jerk sounds: the switch works after both
                       Tap(at::kMotion) + "wait 100\n" + JerkLines(j);
  RunResult result = Run(script);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(ShowsPicture(Shot("back-home"), 366, 418, "Chk_General_2_Up"));
  EXPECT_TRUE(ShowsPicture(Shot("reactivated"), 366, 418, "Chk_General_2_Up"));
  std::vector<int16_t> recording = Recording();
  EXPECT_EQ(ValuesBetween(recording, 0, 4800), std::vector<int16_t>{}) << "a jerk sounded with motion off";
  EXPECT_EQ(ValuesBetween(recording, 4800, 5400), std::vector<int16_t>{j.slotValue});
  EXPECT_EQ(EventTimes(Trace(), "vibrate on").size(), 1u);
}

TEST_F(Motion, ASensitivityStepActsOnItsAxisAtOnce) {
  PrepareDefault();
  // A jerk of 500 stays under sensitivity 5 (peak 700) and passes 8 (peak 400).
  const Jerk weakX = {"weak x", 500, 0, -1000, 2000}, weakY = {"weak y", 0, 500, -1000, 3000};
  std::string script = "accel 0 0 -1000\nwait 2500\n" + Tap(at::kMotion) + "wait 100\n" + JerkLines(weakX) +
                       Tap(at::kSettingsTab) + "wait 400\n";
  for (int i = 0; i < 3; ++i) script += "tap 430 132\n";  // X: 5 to 8
  script += "wait 100\n" + Tap(at::kHomeTab) + "wait 400\n" + Tap(at::kMotion) + "wait 100\n" +  // 4100
            JerkLines(weakX) + JerkLines(weakY);
  RunResult result = Run(script);
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<int16_t> recording = Recording();
  EXPECT_EQ(ValuesBetween(recording, 0, 4100), std::vector<int16_t>{}) << "under the threshold of sensitivity 5";
  EXPECT_EQ(ValuesBetween(recording, 4100, 4600), std::vector<int16_t>{2000}) << "X at sensitivity 8";
  EXPECT_EQ(ValuesBetween(recording, 4600, 5100), std::vector<int16_t>{}) << "Y kept sensitivity 5";
}

}  // namespace
}  // namespace jptest
