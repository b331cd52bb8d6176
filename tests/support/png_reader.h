// Reads PNG files (the bench's shots) back for tests, through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jptest {

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Any PNG libpng reads, converted to 8-bit RGB. False when the file is missing or damaged.
bool ReadPngRgb(const std::string& path, PngImage& image);

}  // namespace jptest
