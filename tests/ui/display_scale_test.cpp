// Rounding and dpi scaling of design lengths.
#include <gtest/gtest.h>

#include "device_fixture.h"
#include "ui/core/DisplayScale.h"

namespace {

TEST(MulDivRound, RoundsTheMagnitudeHalfUpAndKeepsTheSign) {
  const struct {
    int a, b, c, expected;
  } kCases[] = {
      {80, 192, 96, 160}, {26, 131, 96, 35}, {-26, 131, 96, -35},  // 35.48 either way
      {1, 48, 96, 1},     {-1, 48, 96, -1},  // exactly half: away from zero
      {1, 47, 96, 0},     {-1, 47, 96, 0},   {0, 192, 96, 0},
      {7, 3, 2, 11},      {-7, 3, 2, -11},   // 10.5
      {100000, 100000, 100000, 100000},      // the product is wider than an int
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
  }
}

class DisplayScaleTest : public jptest::DeviceTest {
 protected:
  void TearDown() override {
    wce::SetScreenDpi(192, 192);
    ResetScreenDpi();
    DeviceTest::TearDown();
  }
};

TEST_F(DisplayScaleTest, ScaleUsesTheScreenDpiReadOnceUntilReset) {
  ResetScreenDpi();
  // The device's screen has 192 dpi: design lengths double.
  EXPECT_EQ(ScaleX(80), 160);
  EXPECT_EQ(ScaleY(26), 52);
  EXPECT_EQ(ScaleX(-26), -52);
  wce::SetScreenDpi(96, 131);
  EXPECT_EQ(GetScreenDpiX(), 192);
  EXPECT_EQ(GetScreenDpiY(), 192);
  EXPECT_EQ(ScaleY(26), 52);
  // Emptied, the cache reads the screen as it is now.
  ResetScreenDpi();
  EXPECT_EQ(ScaleX(80), 80);
  EXPECT_EQ(ScaleY(26), 35);
}

}  // namespace
