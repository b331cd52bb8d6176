#include "picture_bytes.h"

namespace shelltest {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Poke32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

namespace {

void InfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t compression, uint32_t colours) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, compression);
  for (int i = 0; i < 3; ++i) Put32(out, 0);  // image size, resolution
  Put32(out, colours);
  Put32(out, 0);
}

void PutRow(std::vector<uint8_t>& out, const uint32_t* values, int width, int bits) {
  size_t start = out.size();
  size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  out.resize(start + stride, 0);
  for (int x = 0; x < width; ++x) {
    uint32_t v = values[x];
    if (bits < 8) {
      int bit = x * bits;
      out[start + bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
    } else {
      for (int b = 0; b < bits / 8; ++b) out[start + static_cast<size_t>(x) * (bits / 8) + b] = static_cast<uint8_t>(v >> (8 * b));
    }
  }
}

}  // namespace

std::vector<uint8_t> MakeBmp(const BmpLayout& layout, const std::vector<uint32_t>& values) {
  std::vector<uint8_t> out = {'B', 'M'};
  Put32(out, 0);  // file size: patched below
  Put32(out, 0);
  Put32(out, 0);  // pixel offset: patched below
  uint32_t compression = layout.masks.empty() ? 0 : 3;
  InfoHeader(out, layout.width, layout.topDown ? -layout.height : layout.height, layout.bits, compression,
             static_cast<uint32_t>(layout.palette.size()));
  for (uint32_t m : layout.masks) Put32(out, m);
  for (uint32_t rgb : layout.palette) Put32(out, rgb);
  Poke32(out, 10, static_cast<uint32_t>(out.size()));
  for (int r = 0; r < layout.height; ++r) {
    int y = layout.topDown ? r : layout.height - 1 - r;
    PutRow(out, values.data() + static_cast<size_t>(y) * layout.width, layout.width, layout.bits);
  }
  Poke32(out, 2, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> MakeIconDib(int side, const std::vector<uint32_t>& argb, const std::vector<bool>& transparent) {
  std::vector<uint8_t> out;
  InfoHeader(out, side, side * 2, 32, 0, 0);
  for (int y = side - 1; y >= 0; --y) PutRow(out, argb.data() + static_cast<size_t>(y) * side, side, 32);
  for (int y = side - 1; y >= 0; --y) {
    std::vector<uint32_t> mask(side, 0);
    for (int x = 0; x < side; ++x)
      if (!transparent.empty() && transparent[static_cast<size_t>(y) * side + x]) mask[x] = 1;
    PutRow(out, mask.data(), side, 1);
  }
  return out;
}

std::vector<uint8_t> MakeIco(const std::vector<std::pair<int, std::vector<uint8_t>>>& images) {
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const auto& [side, dib] : images) {
    out.push_back(static_cast<uint8_t>(side));
    out.push_back(static_cast<uint8_t>(side));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<uint32_t>(dib.size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(dib.size());
  }
  for (const auto& image : images) out.insert(out.end(), image.second.begin(), image.second.end());
  return out;
}

}  // namespace shelltest
