// Screenshots come back from the file as they were on the screen.
#include <gtest/gtest.h>

#include <png.h>

#include <vector>

#include "png_file.h"
#include "test_files.h"

namespace jphost {
namespace {

TEST(PngFile, PixelsRoundTrip) {
  jptest::TempDir temp;
  wce::ScreenImage image;
  image.width = 3;
  image.height = 2;
  image.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
  std::string error;
  ASSERT_TRUE(WritePng(temp / "shot.png", image, error)) << error;

  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, (temp / "shot.png").c_str())) << png.message;
  EXPECT_EQ(png.width, 3u);
  EXPECT_EQ(png.height, 2u);
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) << png.message;
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    uint32_t read = (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
    EXPECT_EQ(read, image.pixels[i]) << i;
  }
}

}  // namespace
}  // namespace jphost
