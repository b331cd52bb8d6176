// Where a click in a zoomed window lands on the screen, and which part of
// the window a new frame repaints.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "window_host.h"

namespace jphost {
namespace {

TEST(WindowInput, MousePositionsScaleBackToTheScreenAndStayOnIt) {
  EXPECT_EQ(WindowToScreen(0, 1, 480), 0);
  EXPECT_EQ(WindowToScreen(479, 1, 480), 479);
  EXPECT_EQ(WindowToScreen(239, 0.5, 480), 478);
  EXPECT_EQ(WindowToScreen(240, 0.5, 480), 479);
  EXPECT_EQ(WindowToScreen(959, 2, 480), 479);
  EXPECT_EQ(WindowToScreen(3, 2, 480), 1);
  EXPECT_EQ(WindowToScreen(100, 0.75, 480), 133);
  // Dragged off the window: the stylus stays at the screen's edge.
  EXPECT_EQ(WindowToScreen(-5, 1, 480), 0);
  EXPECT_EQ(WindowToScreen(600, 1, 480), 479);
}

TEST(WindowInput, AFittedScreenKeepsItsAspectAndIsCentred) {
  const struct {
    int windowWidth, windowHeight;
    View view;
  } rows[] = {
      {720, 1440, {1.5, 0, 240, 720, 960}},    // a phone: bars above and below
      {1280, 640, {1.0, 400, 0, 480, 640}},    // wide: bars at the sides
      {360, 720, {0.75, 0, 120, 360, 480}},    // smaller than the screen
      {480, 640, {1.0, 0, 0, 480, 640}},       // exactly the screen
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.windowWidth) + "x" + std::to_string(row.windowHeight));
    View view = FitView(480, 640, row.windowWidth, row.windowHeight);
    EXPECT_DOUBLE_EQ(view.scale, row.view.scale);
    EXPECT_EQ(view.x, row.view.x);
    EXPECT_EQ(view.y, row.view.y);
    EXPECT_EQ(view.width, row.view.width);
    EXPECT_EQ(view.height, row.view.height);
  }
}

TEST(WindowInput, OnAPhoneATapOnEachTabReachesThatTab) {
  // The tabs share the bottom bar, 160 pixels each, below y = 532.
  View view = FitView(480, 640, 720, 1440);
  const struct {
    const char* tab;
    int windowX, windowY;  // where a finger lands on the phone
  } taps[] = {{"home", 10, 1040}, {"home", 235, 1190}, {"sounds", 245, 1040},
              {"sounds", 475, 1195}, {"settings", 485, 1100}, {"settings", 715, 1199}};
  const char* names[] = {"home", "sounds", "settings"};
  for (const auto& tap : taps) {
    SCOPED_TRACE(std::string(tap.tab) + " at " + std::to_string(tap.windowX) + "," + std::to_string(tap.windowY));
    int x = WindowToScreen(tap.windowX - view.x, view.scale, 480);
    int y = WindowToScreen(tap.windowY - view.y, view.scale, 640);
    EXPECT_GE(y, 532);
    EXPECT_LT(y, 640);
    EXPECT_STREQ(names[x / 160], tap.tab);
  }
  // A tap on the bar below the picture stays on the screen's edge.
  EXPECT_EQ(WindowToScreen(1400 - view.y, view.scale, 640), 639);
}

TEST(WindowInput, TheWindowFillsTheDisplayOnlyWhereThatHelps) {
  const struct {
    const char* what;
    int displayWidth, displayHeight;
    bool programFullScreen, zoomGiven;
    bool fills;
  } rows[] = {
      {"a desktop", 1920, 1080, false, false, false},
      {"a desktop, the program full screen", 1920, 1080, true, false, false},
      {"a phone, the program with its task bar", 720, 1440, false, false, false},
      {"a phone, the program full screen", 720, 1440, true, false, true},
      {"a display lower than the screen", 1024, 600, false, false, true},
      {"a display narrower than the screen", 320, 800, false, false, true},
      {"--scale given on a small phone", 320, 480, true, true, false},
      {"no display known", 0, 0, true, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(FillsDisplay(480, 640, row.displayWidth, row.displayHeight, row.programFullScreen, row.zoomGiven),
              row.fills);
  }
}

TEST(WindowInput, OnlyTheRectangleHoldingEveryChangedPixelIsRepainted) {
  constexpr int w = 6, h = 5;
  struct Row {
    const char* what;
    std::vector<std::pair<int, int>> changed;  // (x, y) pixels that differ
    bool any;
    SDL_Rect rect;
  };
  const Row rows[] = {
      {"nothing", {}, false, {}},
      {"one pixel", {{2, 3}}, true, {2, 3, 1, 1}},
      {"the corners", {{0, 0}, {5, 4}}, true, {0, 0, 6, 5}},
      {"a column on the right end, a row lower down on the left", {{5, 1}, {0, 2}}, true, {0, 1, 6, 2}},
      {"widest on a middle row", {{3, 0}, {1, 2}, {4, 2}, {3, 4}}, true, {1, 0, 4, 5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<uint32_t> before(w * h, 0x102030), after = before;
    for (auto [x, y] : row.changed) after[y * w + x] = 0xFFFFFF;
    SDL_Rect rect = {-1, -1, -1, -1};
    ASSERT_EQ(ChangedRect(before.data(), after.data(), w, h, rect), row.any);
    if (!row.any) continue;
    EXPECT_EQ(rect.x, row.rect.x);
    EXPECT_EQ(rect.y, row.rect.y);
    EXPECT_EQ(rect.w, row.rect.w);
    EXPECT_EQ(rect.h, row.rect.h);
  }
}

}  // namespace
}  // namespace jphost
