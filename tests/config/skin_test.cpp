// The skin: the six fonts sized from the screen's vertical dpi, and a skin
// folder without pictures.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/Skin.h"
#include "device/device.h"
#include "device_fixture.h"

namespace {

class SkinTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_TRUE(jptest::MakeDirs(temp_ / "app/Skin"));
    folder_ = wce::PosixPathToDevice(temp_ / "app/Skin") + L"\\";
    description_ = folder_ + L"Skin.txt";
  }
  void TearDown() override {
    wce::SetScreenDpi(192, 192);
    DeviceTest::TearDown();
  }

  static LOGFONTW Describe(HFONT font) {
    LOGFONTW description{};
    EXPECT_EQ(GetObjectW(font, sizeof(description), &description), static_cast<int>(sizeof(description)));
    return description;
  }

  std::wstring folder_;
  std::wstring description_;
};

TEST_F(SkinTest, FontHeightsFollowTheVerticalDpi) {
  const struct {
    int dpi;
    LONG heights[3];  // sizes 14, 16 and 18
  } cases[] = {{96, {14, 16, 18}}, {192, {28, 32, 36}}, {130, {19, 22, 24}}};
  const SkinFont regular[] = {Font14, Font16, Font18};
  const SkinFont semibold[] = {Font14Semibold, Font16Semibold, Font18Semibold};
  for (const auto& c : cases) {
    // Only the vertical dpi counts.
    wce::SetScreenDpi(72, c.dpi);
    Skin skin;
    ASSERT_TRUE(skin.Load(folder_.c_str(), description_.c_str()));
    for (int i = 0; i < 3; ++i) {
      LOGFONTW plain = Describe(skin.Font(regular[i]));
      LOGFONTW bold = Describe(skin.Font(semibold[i]));
      EXPECT_EQ(plain.lfHeight, c.heights[i]) << c.dpi << " dpi, font " << i;
      EXPECT_EQ(bold.lfHeight, c.heights[i]) << c.dpi << " dpi, font " << i;
      EXPECT_EQ(plain.lfWeight, 500);
      EXPECT_EQ(bold.lfWeight, 600);
      EXPECT_STREQ(plain.lfFaceName, L"HelveticaNeue LT 35 Thin");
      EXPECT_EQ(plain.lfCharSet, EASTEUROPE_CHARSET);
      EXPECT_EQ(plain.lfOutPrecision, OUT_RASTER_PRECIS);
      EXPECT_EQ(plain.lfQuality, CLEARTYPE_QUALITY);
    }
  }
}

TEST_F(SkinTest, AnEmptyFolderGivesFortyFiveEmptyPicturesAndSixFonts) {
  Skin skin;
  EXPECT_TRUE(skin.Load(folder_.c_str(), description_.c_str()));
  for (int i = 0; i < SkinImageCount; ++i) EXPECT_EQ(skin.Image(static_cast<SkinImage>(i)), nullptr) << i;
  EXPECT_EQ(SkinImageCount, 45);
  EXPECT_EQ(kSkinFontCount, 6);
  for (int i = Font14; i < SkinFontEnd; ++i) EXPECT_EQ(GetObjectType(skin.Font(static_cast<SkinFont>(i))), OBJ_FONT);
  HFONT font = skin.Font(Font18Semibold);
  skin.Release();
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(skin.Font(Font18Semibold), nullptr);
}

}  // namespace
