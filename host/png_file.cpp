#include "png_file.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace jphost {

bool WritePng(const std::string& path, const wce::ScreenImage& image, std::string& error) {
  size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() < count) {
    error = "no screen to save";
    return false;
  }
  std::vector<uint8_t> rgb;
  rgb.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    uint32_t p = image.pixels[i];
    rgb.push_back(static_cast<uint8_t>(p >> 16));
    rgb.push_back(static_cast<uint8_t>(p >> 8));
    rgb.push_back(static_cast<uint8_t>(p));
  }
  // The simplified API reports errors in the image record instead of by longjmp.
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    error = "cannot write " + path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace jphost
