// Where a click in a zoomed window lands on the screen.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace jphost
