#include "image_compare.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "gdi_fixture.h"
#include "png_reader.h"
#include "test_files.h"

namespace {

using jptest::Image;
using jptest::ImagesMatch;

TEST(ImageCompare, NamesTheFirstDifferenceAndKeepsBothPictures) {
  jptest::TempDir dir;
  setenv("JP_TEST_OUTPUT_DIR", dir.Path().c_str(), 1);
  Image expected = jptest::ImageFromRows({"ab", "ba"}, {{'a', 0xFF0000}, {'b', 0x0000FF}});
  Image actual = expected;
  EXPECT_TRUE(ImagesMatch(actual, expected));
  actual.At(1, 1) = 0xFF0003;
  actual.At(0, 1) = 0x0004FF;
  EXPECT_TRUE(ImagesMatch(actual, expected, 4)) << "within the tolerance on every channel";

  ::testing::AssertionResult result = ImagesMatch(actual, expected, 3, "label");
  unsetenv("JP_TEST_OUTPUT_DIR");
  ASSERT_FALSE(result);
  std::string message = result.message();
  EXPECT_NE(message.find("pixel (0, 1) is 0x0004FF, expected 0x0000FF"), std::string::npos) << message;
  EXPECT_NE(message.find("1 of 4 pixels differ"), std::string::npos) << message;
  jptest::PngImage kept;
  ASSERT_TRUE(jptest::ReadPngRgb(dir / "ImageCompare.NamesTheFirstDifferenceAndKeepsBothPictures.label.actual.png",
                                 kept));
  EXPECT_EQ(kept.pixels, actual.pixels);
  ASSERT_TRUE(jptest::ReadPngRgb(
      dir / "ImageCompare.NamesTheFirstDifferenceAndKeepsBothPictures.label.expected.png", kept));
  EXPECT_EQ(kept.pixels, expected.pixels);

  EXPECT_FALSE(ImagesMatch(Image(2, 3), Image(3, 2))) << "sizes differ";
}

using ImageOfDevice = gditest::GdiTest;

TEST_F(ImageOfDevice, ReadsDCsAndUnselectedBitmapsAsRgbPixels) {
  HDC dc = MemoryDC(3, 2, RGB(0x11, 0x22, 0x33));
  SetPixel(dc, 2, 1, RGB(0xAA, 0xBB, 0xCC));
  Image image = jptest::ImageOfDC(dc, 4, 2);
  EXPECT_EQ(image.At(0, 0), 0x112233u);
  EXPECT_EQ(image.At(2, 1), 0xAABBCCu);
  EXPECT_EQ(image.At(3, 0), 0xFFFFFFFFu) << "outside the bitmap";

  HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
  EXPECT_EQ(jptest::ImageOfBitmap(bitmap).width, 0) << "still selected into the DC";
  DeleteDC(dc);
  Image whole = jptest::ImageOfBitmap(bitmap);
  EXPECT_EQ(whole.width, 3);
  EXPECT_EQ(whole.At(2, 1), 0xAABBCCu);
  DeleteObject(bitmap);
}

}  // namespace
