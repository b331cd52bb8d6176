// Frames of the page transitions composed from two pictures, checked pixel
// by pixel against where each effect says a pixel comes from.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "app/TransitionFrame.h"
#include "device_fixture.h"

namespace {

const int kWidth = 40;
const int kHeight = 30;

// Every pixel tells its picture and its place.
COLORREF FromPixel(int x, int y) { return RGB(x, y, 1); }
COLORREF ToPixel(int x, int y) { return RGB(x, y, 2); }
const COLORREF kUntouched = RGB(9, 9, 9);

class TransitionFrameTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    screen_ = GetDC(NULL);
    ASSERT_NE(screen_, nullptr);
    for (Picture* p : {&back_, &from_, &to_}) {
      p->dc = CreateCompatibleDC(screen_);
      p->bitmap = CreateCompatibleBitmap(screen_, kWidth, kHeight);
      ASSERT_NE(p->dc, nullptr);
      ASSERT_NE(p->bitmap, nullptr);
      p->old = SelectObject(p->dc, p->bitmap);
    }
    Paint(from_, FromPixel);
    Paint(to_, ToPixel);
  }
  void TearDown() override {
    for (Picture* p : {&back_, &from_, &to_}) {
      SelectObject(p->dc, p->old);
      DeleteDC(p->dc);
      DeleteObject(p->bitmap);
    }
    ReleaseDC(NULL, screen_);
    DeviceTest::TearDown();
  }

  struct Picture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
  };

  static void Paint(Picture& picture, const std::function<COLORREF(int, int)>& pixel) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) SetPixel(picture.dc, x, y, pixel(x, y));
    }
  }

  // The first pixel of the back buffer that differs from `expected`, if any.
  ::testing::AssertionResult BackIs(const std::function<COLORREF(int, int)>& expected) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        COLORREF got = GetPixel(back_.dc, x, y);
        if (got != expected(x, y)) {
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                               << ", expected " << expected(x, y);
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

  bool Draw(int kind, double progress) {
    Paint(back_, [](int, int) { return kUntouched; });
    return DrawTransitionCopies(back_.dc, from_.dc, to_.dc, kind, progress, kWidth, kHeight);
  }

  HDC screen_ = nullptr;
  Picture back_, from_, to_;
};

// Where pixel (x, y) of the frame comes from, given v, for each effect.
struct Effect {
  int kind;
  bool columns;
  std::function<COLORREF(int x, int y, int v)> pixel;
};

const Effect kEffects[] = {
    // Push left: the old page moves left by v, the new one follows it in.
    {1, true, [](int x, int y, int v) { return x < kWidth - v ? FromPixel(x + v, y) : ToPixel(x - (kWidth - v), y); }},
    // Push right: the new page comes in from the left.
    {2, true, [](int x, int y, int v) { return x < v ? ToPixel(x + kWidth - v, y) : FromPixel(x - v, y); }},
    {3, false,
     [](int x, int y, int v) { return y < kHeight - v ? FromPixel(x, y + v) : ToPixel(x, y - (kHeight - v)); }},
    {4, false, [](int x, int y, int v) { return y < v ? ToPixel(x, y + kHeight - v) : FromPixel(x, y - v); }},
    // Uncover upward: the old page slides up off the still new one.
    {10, false, [](int x, int y, int v) { return y < kHeight - v ? FromPixel(x, y + v) : ToPixel(x, y); }},
    // Cover from the top: the new page slides down over the still old one.
    {11, false, [](int x, int y, int v) { return y < v ? ToPixel(x, y + kHeight - v) : FromPixel(x, y); }},
};

TEST_F(TransitionFrameTest, EveryEffectTakesEachPixelFromWhereItShouldBe) {
  for (const Effect& effect : kEffects) {
    // 0.999 of 40 is 39.96 and of 30 is 29.97: truncated, not rounded.
    for (double progress : {0.0, 0.25, 0.5, 0.999, 1.0}) {
      int extent = effect.columns ? kWidth : kHeight;
      int v = static_cast<int>(extent * progress);
      ASSERT_TRUE(Draw(effect.kind, progress)) << effect.kind;
      EXPECT_TRUE(BackIs([&](int x, int y) { return effect.pixel(x, y, v); }))
          << "kind " << effect.kind << " at " << progress;
    }
  }
}

TEST_F(TransitionFrameTest, AnotherKindDrawsNothing) {
  for (int kind : {0, 5, 9, 12, -1}) {
    EXPECT_FALSE(Draw(kind, 0.5)) << kind;
    EXPECT_TRUE(BackIs([](int, int) { return kUntouched; })) << kind;
  }
}

}  // namespace
