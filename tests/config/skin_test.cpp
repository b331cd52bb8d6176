// The skin: pictures found by their fixed names in the skin folder, the six
// fonts sized from the screen's vertical dpi, and the release of both.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/Skin.h"
#include "device/device.h"
#include "device_fixture.h"
#include "png_writer.h"

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
    }
  }
}

TEST_F(SkinTest, CreateSkinFontFillsTheWholeRecord) {
  HFONT font = CreateSkinFont(L"DejaVu Sans", 21, TRUE, TRUE, FALSE);
  ASSERT_NE(font, nullptr);
  LOGFONTW d = Describe(font);
  EXPECT_EQ(d.lfHeight, 21);
  EXPECT_EQ(d.lfWidth, 0);
  EXPECT_EQ(d.lfEscapement, 0);
  EXPECT_EQ(d.lfWeight, 600);
  EXPECT_EQ(d.lfItalic, 1);
  EXPECT_EQ(d.lfUnderline, 0);
  EXPECT_EQ(d.lfStrikeOut, 0);
  EXPECT_EQ(d.lfCharSet, EASTEUROPE_CHARSET);
  EXPECT_EQ(d.lfOutPrecision, OUT_RASTER_PRECIS);
  EXPECT_EQ(d.lfClipPrecision, CLIP_DEFAULT_PRECIS);
  EXPECT_EQ(d.lfQuality, CLEARTYPE_QUALITY);
  EXPECT_EQ(d.lfPitchAndFamily, 0);
  EXPECT_STREQ(d.lfFaceName, L"DejaVu Sans");
  DeleteObject(font);
}

TEST_F(SkinTest, PicturesLoadByTheirNamesAndMissingOnesStayEmpty) {
  // Two of the 45, each with a size of its own, so a swapped index shows.
  ASSERT_TRUE(jptest::WritePngSolid(temp_ / "app/Skin/Pic_TopBar_App.png", 7, 3, 0x102030));
  ASSERT_TRUE(jptest::WritePngSolid(temp_ / "app/Skin/Slt_ItemSelected.png", 5, 9, 0x405060));
  Skin skin;
  skin.Load(folder_.c_str(), description_.c_str());
  const struct {
    SkinImage index;
    int width, height;  // 0: not loaded
  } expected[] = {{Pic_TopBar_App, 7, 3}, {Slt_ItemSelected, 5, 9}};
  int loaded = 0;
  for (int i = 0; i < SkinImageCount; ++i) loaded += skin.Image(static_cast<SkinImage>(i)) != nullptr;
  EXPECT_EQ(loaded, 2);
  for (const auto& e : expected) {
    BITMAP info{};
    ASSERT_EQ(GetObjectW(skin.Image(e.index), sizeof(info), &info), static_cast<int>(sizeof(info))) << e.index;
    EXPECT_EQ(info.bmWidth, e.width) << e.index;
    EXPECT_EQ(info.bmHeight, e.height) << e.index;
  }
  HBITMAP picture = skin.Image(Pic_TopBar_App);
  HFONT font = skin.Font(Font18Semibold);
  skin.Release();
  EXPECT_EQ(GetObjectType(picture), 0u);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_EQ(skin.Image(Pic_TopBar_App), nullptr);
  EXPECT_EQ(skin.Font(Font18Semibold), nullptr);
}

TEST_F(SkinTest, AnEmptyFolderGivesFortyFiveEmptyPicturesAndSixFonts) {
  Skin skin;
  EXPECT_TRUE(skin.Load(folder_.c_str(), description_.c_str()));
  for (int i = 0; i < SkinImageCount; ++i) EXPECT_EQ(skin.Image(static_cast<SkinImage>(i)), nullptr) << i;
  EXPECT_EQ(SkinImageCount, 45);
  EXPECT_EQ(SkinFontCount, 6);
  for (int i = Font14; i < SkinFontEnd; ++i) EXPECT_EQ(GetObjectType(skin.Font(static_cast<SkinFont>(i))), OBJ_FONT);
  // Out of range asks give nothing.
  EXPECT_EQ(skin.Image(SkinImageCount), nullptr);
  EXPECT_EQ(skin.Font(static_cast<SkinFont>(Slt_ItemSelected)), nullptr);
}

}  // namespace
