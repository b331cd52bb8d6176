// Builds .bmp and .ico bytes for the resource tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace shelltest {

void Put16(std::vector<uint8_t>& out, uint32_t v);
void Put32(std::vector<uint8_t>& out, uint32_t v);
void Poke32(std::vector<uint8_t>& bytes, size_t at, uint32_t v);

struct BmpLayout {
  int width = 0;
  int height = 0;  // positive; `topDown` stores a negative height
  int bits = 24;
  bool topDown = false;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, for 1, 4 and 8 bits
  std::vector<uint32_t> masks;    // red, green, blue: stored as BI_BITFIELDS after the header
};

inline BmpLayout Layout(int width, int height, int bits, bool topDown = false, std::vector<uint32_t> palette = {},
                        std::vector<uint32_t> masks = {}) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.topDown = topDown;
  layout.palette = std::move(palette);
  layout.masks = std::move(masks);
  return layout;
}

// `values` row by row from the top: palette indexes for 1-8 bits, 0x00RRGGBB
// for 24 bits, the stored word for 16 and 32 bits.
std::vector<uint8_t> MakeBmp(const BmpLayout& layout, const std::vector<uint32_t>& values);

// A packed DIB for an icon: 32-bit 0xAARRGGBB pixels from the top, an AND
// mask set where `transparent` says (empty: none set).
std::vector<uint8_t> MakeIconDib(int side, const std::vector<uint32_t>& argb, const std::vector<bool>& transparent);

// An .ico file around packed DIBs (each `side` x `side`, 32 bits).
std::vector<uint8_t> MakeIco(const std::vector<std::pair<int, std::vector<uint8_t>>>& images);

}  // namespace shelltest
