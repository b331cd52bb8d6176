// The splash screen against pictures built pixel by pixel here: the bar's
// place and fill at 96 and 192 dpi, clamped percentages, the picture in its
// box; and the resource images released once.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../ui/ui_fixture.h"
#include "device/device.h"
#include "splash/ResourceImages.h"
#include "splash/SplashScreen.h"

namespace uitest {
namespace {

using jptest::Image;
using jptest::ImagesMatch;

const uint32_t kFrame = 0x808080;
const uint32_t kTrack = 0x333333;
// The fill's gradient, top 0xFED411 to bottom 0x705C00, as GradientFill
// shades a column of `rows` pixels: row r of the way from one to the other.
uint32_t FillAt(int row, int rows) {
  const uint32_t top[3] = {0xFE, 0xD4, 0x11};
  const uint32_t bottom[3] = {0x70, 0x5C, 0x00};
  uint32_t pixel = 0;
  for (int c = 0; c < 3; ++c) {
    uint32_t mixed = ((top[c] << 8) * (rows - row) + (bottom[c] << 8) * row) / rows / 256;
    pixel = pixel << 8 | mixed;
  }
  return pixel;
}

struct Bar {
  int left, top, width, height;
};

// Black, the frame one pixel around the bar, the track, and `filled` columns of gradient.
Image ExpectedSplash(int width, int height, const Bar& bar, int filled) {
  Image expected(width, height, 0x000000);
  for (int y = bar.top - 1; y <= bar.top + bar.height; ++y)
    for (int x = bar.left - 1; x <= bar.left + bar.width; ++x) expected.At(x, y) = kFrame;
  for (int y = 0; y < bar.height; ++y)
    for (int x = 0; x < bar.width; ++x)
      expected.At(bar.left + x, bar.top + y) = x < filled ? FillAt(y, bar.height) : kTrack;
  return expected;
}

class SplashTest : public UiTest {
 protected:
  void TearDown() override {
    wce::SetScreenDpi(192, 192);
    UiTest::TearDown();
  }
};

TEST_F(SplashTest, TheBarSitsBelowTheBoxAndFillsByPercent) {
  struct Case {
    const char* name;
    int dpi;
    RECT rect;
    int percent;
    Bar bar;  // in canvas pixels
    int filled;
  };
  const Case cases[] = {
      // 50 % at 96 dpi: 90 pixels, from L + 30 to L + 120.
      {"96 dpi, half", 96, {0, 0, 240, 320}, 50, {30, 240, 180, 8}, 90},
      {"96 dpi, moved right and down", 96, {10, 6, 250, 326}, 50, {40, 246, 180, 8}, 90},
      {"96 dpi, 250 %", 96, {0, 0, 240, 320}, 250, {30, 240, 180, 8}, 180},
      {"96 dpi, -1 %", 96, {0, 0, 240, 320}, -1, {30, 240, 180, 8}, 180},
      {"96 dpi, empty", 96, {0, 0, 240, 320}, 0, {30, 240, 180, 8}, 0},
      {"192 dpi, 70 %", 192, {0, 0, 480, 640}, 70, {60, 480, 360, 16}, 252},
  };
  for (const Case& c : cases) {
    wce::SetScreenDpi(c.dpi, c.dpi);
    SplashScreen splash;
    splash.SetPercent(c.percent);
    Canvas& canvas = NewCanvas(c.rect.right, c.rect.bottom, 0x00FF00);
    splash.Paint(canvas.dc, &c.rect);
    Image expected = ExpectedSplash(c.rect.right, c.rect.bottom, c.bar, c.filled);
    // Left of and above the rectangle stays as it was.
    for (int y = 0; y < c.rect.bottom; ++y)
      for (int x = 0; x < c.rect.right; ++x)
        if (x < c.rect.left || y < c.rect.top) expected.At(x, y) = 0x00FF00;
    EXPECT_TRUE(ImagesMatch(Pixels(canvas), expected, 0, c.name)) << c.name;
  }
}

TEST_F(SplashTest, ThePictureIsCentredUnscaledInItsBoxAndAMissingOneIsSkipped) {
  wce::SetScreenDpi(96, 96);
  const Image picture = Numbered(200, 100);
  const RECT rect = {0, 0, 240, 320};
  const Bar bar = {30, 240, 180, 8};
  SplashScreen splash;
  splash.SetPicture(NewBitmap(picture));
  Canvas& canvas = NewCanvas(240, 320, 0x00FF00);
  splash.Paint(canvas.dc, &rect);
  Image expected = ExpectedSplash(240, 320, bar, 0);
  Paste(expected, picture, 20, 70);
  EXPECT_TRUE(ImagesMatch(Pixels(canvas), expected, 0, "picture"));

  splash.SetPicture(NULL);
  splash.Paint(canvas.dc, &rect);
  EXPECT_TRUE(ImagesMatch(Pixels(canvas), ExpectedSplash(240, 320, bar, 0), 0, "no picture"));
}

// A 24-bit bottom-up BMP file of one colour.
std::vector<uint8_t> SolidBmp(int width, int height, uint32_t rgb) {
  int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> file(54 + static_cast<size_t>(stride) * height, 0);
  auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t at = 54 + static_cast<size_t>(y) * stride + x * 3;
      file[at] = rgb & 0xFF;
      file[at + 1] = (rgb >> 8) & 0xFF;
      file[at + 2] = (rgb >> 16) & 0xFF;
    }
  return file;
}

TEST_F(SplashTest, ResourceImagesLoadTheirBitmapsAndReleaseThemOnce) {
  const std::vector<uint8_t> file = SolidBmp(3, 2, 0x112233);
  const wce::EmbeddedResource table[] = {{wce::ResourceKind::Bitmap, 104, file.data(), file.size()}};
  wce::SetModuleResources(table, 1);
  ResourceImages images(GetModuleHandleW(NULL));
  images.Load();
  HBITMAP donateUp = images.DonateUp();
  EXPECT_EQ(GetObjectType(donateUp), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(images.SplashPicture(), nullptr);  // not in this table
  images.Release();
  EXPECT_EQ(GetObjectType(donateUp), 0u);
  EXPECT_EQ(images.DonateUp(), nullptr);
  images.Release();  // nothing left to delete
  wce::SetModuleResources(nullptr, 0);
}

}  // namespace
}  // namespace uitest
