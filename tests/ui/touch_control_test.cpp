// The control base: the pen state machine and its notification codes, hit
// testing at the edges, controls that take no input, the caption's rules and
// the vibration pulse on the device clock.
#include <gtest/gtest.h>

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "device/device.h"
#include "ui/core/TouchControl.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

// Opens the base's switches that only subclasses touch.
class Probe final : public TouchControl {
 public:
  Probe(HWND host, int id) : TouchControl(NULL, host, id) {}
  void Paint(HDC) override { ++paints; }
  void SetEnabled(BOOL flag) { enabled = flag; }
  void SetAcceptsInput(BOOL flag) { acceptsInput = flag; }
  int paints = 0;
};

enum Action { Down, Move, Up };

struct Step {
  Action action;
  int x, y;
  int result;
};

int Send(TouchControl& control, HWND window, Action action, int x, int y) {
  switch (action) {
    case Down:
      return control.PenDown(window, 0, x, y);
    case Move:
      return control.PenMove(window, 0, x, y);
    case Up:
      return control.PenUp(window, 0, x, y);
  }
  return -1;
}

std::vector<WORD> Codes() {
  std::vector<WORD> codes;
  for (const Notification& n : gNotifications) codes.push_back(n.code);
  return codes;
}

class TouchControlTest : public UiTest {};

TEST_F(TouchControlTest, PenSequencesNotifyTheirCodesInOrder) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<WORD> codes;
  };
  const Case cases[] = {
      {"down and up inside", {{Down, 15, 15, 1}, {Up, 15, 15, 1}}, {1, 3, 4}},
      {"moves inside", {{Down, 10, 10, 1}, {Move, 20, 20, 1}, {Move, 29, 29, 1}, {Up, 29, 29, 1}}, {1, 2, 2, 3, 4}},
      // The move that leaves still reports; coming back does not press again.
      {"leave and come back", {{Down, 15, 15, 1}, {Move, 35, 15, 1}, {Move, 15, 15, 0}, {Up, 15, 15, 0}}, {1, 2}},
      {"lifted outside", {{Down, 15, 15, 1}, {Up, 30, 15, 0}}, {1}},
      {"down outside", {{Down, 5, 5, 0}, {Move, 15, 15, 0}, {Up, 15, 15, 0}}, {}},
  };
  for (const Case& c : cases) {
    Probe control(window_, 7);
    control.SetBounds(10, 10, 20, 20);
    gNotifications.clear();
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      EXPECT_EQ(Send(control, window_, step.action, step.x, step.y), step.result) << c.name << ", step " << i;
    }
    EXPECT_EQ(Codes(), c.codes) << c.name;
    EXPECT_FALSE(control.IsPressed()) << c.name;
    for (const Notification& n : gNotifications) {
      EXPECT_EQ(n.id, 7) << c.name;
      EXPECT_EQ(n.control, reinterpret_cast<LPARAM>(&control)) << c.name;
    }
  }
}

TEST_F(TouchControlTest, EveryPenDownRepaintsTheControlHitOrNot) {
  Probe control(window_, 7);
  control.SetBounds(10, 12, 20, 30);
  for (int x : {5, 15}) {
    ValidateRect(window_, NULL);
    control.PenDown(window_, 0, x, 15);
    PAINTSTRUCT paint;
    BeginPaint(window_, &paint);
    EndPaint(window_, &paint);
    EXPECT_EQ(paint.rcPaint.left, 10) << x;
    EXPECT_EQ(paint.rcPaint.top, 12) << x;
    EXPECT_EQ(paint.rcPaint.right, 30) << x;
    EXPECT_EQ(paint.rcPaint.bottom, 42) << x;
  }
}

TEST_F(TouchControlTest, HitTestTakesLeftAndTopEdgesButNotRightAndBottom) {
  Probe control(window_, 1);
  control.SetBounds(10, 20, 30, 40);
  const struct {
    int x, y;
    bool hit;
  } points[] = {{10, 20, true}, {39, 59, true}, {40, 30, false}, {20, 60, false}, {9, 30, false}, {20, 19, false}};
  for (const auto& p : points) EXPECT_EQ(control.HitTest(p.x, p.y), p.hit) << p.x << ", " << p.y;
  control.SetVisible(FALSE);
  EXPECT_FALSE(control.HitTest(20, 30));
}

TEST_F(TouchControlTest, HiddenDisabledAndDeafControlsIgnoreThePen) {
  struct Case {
    const char* name;
    BOOL visible, enabled, acceptsInput;
    int paints;  // after one PaintIfVisible
  };
  const Case cases[] = {
      {"hidden", FALSE, TRUE, TRUE, 0},
      {"disabled", TRUE, FALSE, TRUE, 1},
      {"takes no input", TRUE, TRUE, FALSE, 1},
  };
  for (const Case& c : cases) {
    Probe control(window_, 3);
    control.SetBounds(0, 0, 50, 50);
    control.SetVisible(c.visible);
    control.SetEnabled(c.enabled);
    control.SetAcceptsInput(c.acceptsInput);
    gNotifications.clear();
    EXPECT_EQ(control.PenDown(window_, 0, 5, 5), 0) << c.name;
    EXPECT_EQ(control.PenMove(window_, 0, 6, 6), 0) << c.name;
    EXPECT_EQ(control.PenUp(window_, 0, 6, 6), 0) << c.name;
    EXPECT_FALSE(control.IsPressed()) << c.name;
    EXPECT_TRUE(gNotifications.empty()) << c.name;
    control.PaintIfVisible(screen_);
    EXPECT_EQ(control.paints, c.paints) << c.name;
  }
}

TEST_F(TouchControlTest, OnlyTheLowSixteenBitsOfTheIdTravel) {
  Probe control(window_, 0x12345);
  control.SetBounds(0, 0, 10, 10);
  control.PenDown(window_, 0, 1, 1);
  ASSERT_EQ(gNotifications.size(), 1u);
  EXPECT_EQ(gNotifications[0].id, 0x2345);
  EXPECT_EQ(control.GetId(), 0x12345);
}

TEST_F(TouchControlTest, CaptionKeepsItsTextAgainstEmptyOnesAndHolds259Characters) {
  Probe control(window_, 1);
  WCHAR caption[kCaptionLength];
  control.GetCaption(caption);
  EXPECT_STREQ(caption, L"");
  const std::wstring longest(259, L'x');
  const std::wstring tooLong(300, L'y');
  const struct {
    const wchar_t* text;
    std::wstring expected;
  } steps[] = {
      {L"Off", L"Off"}, {L"", L"Off"}, {nullptr, L"Off"}, {longest.c_str(), longest},
      {tooLong.c_str(), tooLong.substr(0, 259)},
  };
  for (const auto& step : steps) {
    control.SetCaption(step.text);
    control.GetCaption(caption);
    EXPECT_EQ(std::wstring(caption), step.expected);
  }
  control.GetCaption(nullptr);  // nothing to write into, nothing happens
}

TEST_F(TouchControlTest, VibratePulseRunsTheMotorForItsTimeOnTheDeviceClock) {
  std::mutex lock;
  std::vector<std::string> events;
  wce::SetTraceSink([&](const std::string& line) {
    std::lock_guard<std::mutex> hold(lock);
    if (line.find("vibrate") != std::string::npos) events.push_back(line);
  });
  Sleep(100);
  VibratePulse(25);
  EXPECT_EQ(wce::ClockNowMs(), 125u);
  wce::SetTraceSink(nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"100 vibrate on", "125 vibrate off"}));
}

}  // namespace
}  // namespace uitest
