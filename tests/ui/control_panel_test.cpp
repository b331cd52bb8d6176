// The control panel: every eligible child sees every pen event in order, the
// last one's answer counts, children paint back to front, a hidden panel
// silences its subtree, and an accepting child that asks for it vibrates once.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/device.h"
#include "ui/composite/ControlPanel.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

std::vector<std::string> gLog;

// Answers every pen event with a fixed result and writes down what it saw.
class Recorder final : public TouchControl {
 public:
  Recorder(const std::string& name, int result) : TouchControl(NULL, NULL, 1), name_(name), result_(result) {}
  void Paint(HDC) override { gLog.push_back(name_ + " paint"); }
  int OnPenDown(HWND, UINT, int, int) override { return Log("down"); }
  int OnPenUp(HWND, UINT, int, int) override { return Log("up"); }
  int OnPenMove(HWND, UINT, int, int) override { return Log("move"); }
  void SetEnabled(BOOL flag) { enabled = flag; }

 private:
  int Log(const char* what) {
    gLog.push_back(name_ + " " + what + " at " + std::to_string(wce::ClockNowMs()));
    return result_;
  }
  std::string name_;
  int result_;
};

enum Kind { Plain, Hidden, Disabled, Missing };

struct Child {
  Kind kind;
  int result;
};

class ControlPanelTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    gLog.clear();
  }
};

TEST_F(ControlPanelTest, EveryEligibleChildSeesThePenAndTheLastOneAnswers) {
  struct Case {
    const char* name;
    std::vector<Child> children;
    int result;
    std::vector<std::string> reached;  // children whose handler ran, in order
  };
  const Case cases[] = {
      {"a picture last answers 0", {{Plain, 1}, {Plain, 0}}, 0, {"c0", "c1"}},
      {"no early exit", {{Plain, 1}, {Plain, 1}, {Plain, 1}}, 1, {"c0", "c1", "c2"}},
      {"hidden and disabled skipped", {{Plain, 1}, {Hidden, 0}, {Disabled, 0}}, 1, {"c0"}},
      {"missing child skipped", {{Plain, 0}, {Missing, 0}, {Plain, 1}}, 1, {"c0", "c2"}},
      {"no children", {}, 0, {}},
  };
  for (const Case& c : cases) {
    for (const char* event : {"down", "up", "move"}) {
      ControlPanel panel(NULL, window_, 1);
      std::vector<std::unique_ptr<Recorder>> owned;
      for (size_t i = 0; i < c.children.size(); ++i) {
        const Child& child = c.children[i];
        if (child.kind == Missing) {
          panel.AddChild(nullptr);
          continue;
        }
        owned.push_back(std::make_unique<Recorder>("c" + std::to_string(i), child.result));
        if (child.kind == Hidden) owned.back()->SetVisible(FALSE);
        if (child.kind == Disabled) owned.back()->SetEnabled(FALSE);
        panel.AddChild(owned.back().get());
        EXPECT_EQ(owned.back()->GetOwner(), &panel);
      }
      gLog.clear();
      std::string name = event;
      int result = name == "down" ? panel.PenDown(window_, 0, 1, 1)
                   : name == "up" ? panel.PenUp(window_, 0, 1, 1)
                                  : panel.PenMove(window_, 0, 1, 1);
      EXPECT_EQ(result, c.result) << c.name << ", " << event;
      std::vector<std::string> expected;
      for (const std::string& child : c.reached) expected.push_back(child + " " + event + " at 0");
      EXPECT_EQ(gLog, expected) << c.name << ", " << event;
    }
  }
}

TEST_F(ControlPanelTest, ChildrenPaintInOrderAndAHiddenPanelSilencesItsSubtree) {
  ControlPanel root(NULL, window_, 1);
  ControlPanel page(NULL, window_, 2);
  Recorder back("back", 1), front("front", 1), disabled("disabled", 1), hidden("hidden", 1), inner("inner", 1);
  disabled.SetEnabled(FALSE);
  hidden.SetVisible(FALSE);
  root.AddChild(&back);
  root.AddChild(&page);
  root.AddChild(&disabled);
  root.AddChild(&hidden);
  root.AddChild(&front);
  page.AddChild(&inner);
  EXPECT_EQ(root.ChildCount(), 5);
  EXPECT_EQ(root.ChildAt(1), &page);
  EXPECT_EQ(root.ChildAt(5), nullptr);

  root.PaintIfVisible(screen_);
  EXPECT_EQ(gLog, (std::vector<std::string>{"back paint", "inner paint", "disabled paint", "front paint"}));

  gLog.clear();
  page.SetVisible(FALSE);
  root.PaintIfVisible(screen_);
  EXPECT_EQ(root.PenDown(window_, 0, 0, 0), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"back paint", "disabled paint", "front paint", "back down at 0",
                                            "front down at 0"}));

  // A panel called directly while hidden is as silent as one skipped by its parent.
  gLog.clear();
  EXPECT_EQ(page.OnPenDown(window_, 0, 0, 0), 0);
  page.Paint(screen_);
  root.SetVisible(FALSE);
  EXPECT_EQ(root.OnPenUp(window_, 0, 0, 0), 0);
  root.Paint(screen_);
  EXPECT_TRUE(gLog.empty());
}

TEST_F(ControlPanelTest, AnAcceptingChildThatAsksVibratesOnceBeforeTheNextSeesThePen) {
  std::mutex lock;
  std::vector<std::string> pulses;
  wce::SetTraceSink([&](const std::string& line) {
    std::lock_guard<std::mutex> hold(lock);
    if (line.find("vibrate") != std::string::npos) pulses.push_back(line);
  });
  ControlPanel panel(NULL, window_, 1);
  Recorder accepts("accepts", 1), declines("declines", 0), quiet("quiet", 1);
  accepts.SetVibrateOnPress(TRUE);
  declines.SetVibrateOnPress(TRUE);
  panel.AddChild(&accepts);
  panel.AddChild(&declines);
  panel.AddChild(&quiet);

  EXPECT_EQ(panel.PenDown(window_, 0, 5, 5), 1);
  EXPECT_EQ(gLog, (std::vector<std::string>{"accepts down at 0", "declines down at 25", "quiet down at 25"}));
  // Lifting and moving never vibrate.
  panel.PenMove(window_, 0, 5, 5);
  panel.PenUp(window_, 0, 5, 5);
  wce::SetTraceSink(nullptr);
  EXPECT_EQ(pulses, (std::vector<std::string>{"0 vibrate on", "25 vibrate off"}));
}

}  // namespace
}  // namespace uitest
