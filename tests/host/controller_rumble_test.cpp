// The motor's changes as the controllers feel them, with a rumble function
// that only writes down what it was asked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller_rumble.h"

namespace jphost {
namespace {

using R = ControllerRumble;

struct Step {
  enum Kind { On, Off, Apply, Attach, Detach } kind;
  uint64_t arg;          // the time for Apply, the controller for Attach and Detach
  std::string rumbled;   // "controller:ms ..." asked during this step
  uint64_t next = 0;     // Apply's answer
};

std::string Call(int controller, uint32_t ms) { return std::to_string(controller) + ":" + std::to_string(ms) + " "; }

TEST(ControllerRumble, FollowsTheMotorOnEveryController) {
  const std::string on = std::to_string(R::kRumbleMs), pulse = std::to_string(R::kMissedPulseMs);
  struct Story {
    const char* name;
    std::vector<Step> steps;
  };
  const Story stories[] = {
      {"no controller: nothing to do",
       {{Step::On, 0, ""}, {Step::Apply, 10, "", 10 + R::kRenewMs}, {Step::Off, 0, ""}, {Step::Apply, 35, "", 0}}},
      {"on and off reach both controllers",
       {{Step::Attach, 1, ""},
        {Step::Attach, 2, ""},
        {Step::On, 0, ""},
        {Step::Apply, 100, "1:" + on + " 2:" + on + " ", 100 + R::kRenewMs},
        {Step::Off, 0, ""},
        {Step::Apply, 125, "1:0 2:0 ", 0},
        {Step::Apply, 130, "", 0}}},
      {"a long buzz is renewed before it runs out",
       {{Step::Attach, 7, ""},
        {Step::On, 0, ""},
        {Step::Apply, 0, "7:" + on + " ", R::kRenewMs},
        {Step::Apply, R::kRenewMs - 1, "", R::kRenewMs},
        {Step::Apply, R::kRenewMs, "7:" + on + " ", 2 * R::kRenewMs}}},
      {"a pulse over before the loop looked still buzzes",
       {{Step::Attach, 3, ""}, {Step::On, 0, ""}, {Step::Off, 0, ""}, {Step::Apply, 50, "3:" + pulse + " ", 0}}},
      {"a controller plugged in mid-buzz joins, one pulled out is left alone",
       {{Step::Attach, 1, ""},
        {Step::On, 0, ""},
        {Step::Apply, 0, "1:" + on + " ", R::kRenewMs},
        {Step::Attach, 2, "2:" + on + " "},
        {Step::Attach, 2, ""},
        {Step::Detach, 1, ""},
        {Step::Off, 0, ""},
        {Step::Apply, 20, "2:0 ", 0}}},
  };
  for (const Story& story : stories) {
    std::string rumbled;
    ControllerRumble rumble([&](int controller, uint32_t ms) { rumbled += Call(controller, ms); });
    for (size_t i = 0; i < story.steps.size(); ++i) {
      const Step& step = story.steps[i];
      rumbled.clear();
      uint64_t next = 0;
      switch (step.kind) {
        case Step::On: rumble.MotorChanged(true); break;
        case Step::Off: rumble.MotorChanged(false); break;
        case Step::Apply: next = rumble.Apply(step.arg); break;
        case Step::Attach: rumble.Attach(static_cast<int>(step.arg)); break;
        case Step::Detach: rumble.Detach(static_cast<int>(step.arg)); break;
      }
      EXPECT_EQ(rumbled, step.rumbled) << story.name << ", step " << i;
      EXPECT_EQ(next, step.next) << story.name << ", step " << i;
    }
  }
}

TEST(ControllerRumble, AsksForOneWakeUntilTheLoopLooks) {
  ControllerRumble rumble([](int, uint32_t) {});
  EXPECT_TRUE(rumble.MotorChanged(true));
  EXPECT_FALSE(rumble.MotorChanged(false));  // the loop is already on its way
  EXPECT_FALSE(rumble.MotorChanged(true));
  rumble.Apply(0);
  EXPECT_TRUE(rumble.MotorChanged(false));
}

}  // namespace
}  // namespace jphost
