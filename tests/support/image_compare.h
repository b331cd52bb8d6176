// Reference-image checks for drawing tests: compare two 32-bit pictures, and
// on a mismatch keep both as PNG files and name the first pixel that differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace jptest {

// Pixels 0x00RRGGBB, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Image() = default;
  Image(int w, int h, uint32_t fill = 0);
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A small picture written by hand: one text per row, one character per pixel,
// each character looked up in `palette` (a character missing from it fails
// the current test).
Image ImageFromRows(const std::vector<std::string>& rows, const std::map<char, uint32_t>& palette);

// Success when both have the same size and every channel of every pixel
// differs by at most `tolerance`. Otherwise the message gives the first
// differing pixel (x, y, actual, expected) and how many differ, and both
// pictures are written as PNG files named after the running test (and
// `label`) into $JP_TEST_OUTPUT_DIR, or the system's temporary folder.
::testing::AssertionResult ImagesMatch(const Image& actual, const Image& expected, int tolerance = 0,
                                       const std::string& label = "");

// Where ImagesMatch writes its pictures.
std::string ImageOutputDir();

}  // namespace jptest

// Reading pictures off the device needs its headers; this library itself
// builds without them, the tests that draw have them.
#if __has_include(<windows.h>)
#include <windows.h>

namespace jptest {

// The DC's pixels from (0, 0), through GetPixel. A pixel the DC cannot read
// comes out as 0xFFFFFFFF, which matches no real colour.
inline Image ImageOfDC(HDC dc, int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      image.At(x, y) = c == CLR_INVALID ? 0xFFFFFFFFu : ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
  return image;
}

// A whole bitmap that is selected into no DC; an empty image when it cannot
// be read (not a bitmap, or selected elsewhere).
inline Image ImageOfBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) return Image();
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  Image image = old ? ImageOfDC(dc, info.bmWidth, info.bmHeight) : Image();
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return image;
}

}  // namespace jptest
#endif
