// Where a click in a zoomed window lands on the screen, and which part of
// the window a new frame repaints.
#include <gtest/gtest.h>

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
