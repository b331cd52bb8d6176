// Hand-made PNG files for the loader's tests: any colour type and bit depth,
// extra chunks, and bytes we can damage on purpose.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gditest {

inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

inline std::vector<uint8_t> Chunk(const std::string& type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out;
  PutBe32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));  // NULL would restart it
  PutBe32(out, static_cast<uint32_t>(crc));
  return out;
}

inline std::vector<uint8_t> IhdrData(uint32_t width, uint32_t height, int depth, int colourType,
                                     int interlace = 0) {
  std::vector<uint8_t> d;
  PutBe32(d, width);
  PutBe32(d, height);
  d.push_back(static_cast<uint8_t>(depth));
  d.push_back(static_cast<uint8_t>(colourType));
  d.push_back(0);  // deflate
  d.push_back(0);  // adaptive filtering
  d.push_back(static_cast<uint8_t>(interlace));
  return d;
}

// Non-interlaced rows of samples (channels per pixel, row after row), packed
// MSB first for depths below 8, big-endian for 16, each row after filter 0.
inline std::vector<uint8_t> Scanlines(uint32_t width, uint32_t height, int depth, int channels,
                                      const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> out;
  size_t perRow = static_cast<size_t>(width) * channels;
  for (uint32_t y = 0; y < height; ++y) {
    out.push_back(0);
    const uint16_t* row = samples.data() + y * perRow;
    if (depth == 16) {
      for (size_t i = 0; i < perRow; ++i) {
        out.push_back(static_cast<uint8_t>(row[i] >> 8));
        out.push_back(static_cast<uint8_t>(row[i]));
      }
    } else {  // 1 to 8 bits, invalid depths included; high bits of `bits` just wrap away
      uint32_t bits = 0;
      int count = 0;
      for (size_t i = 0; i < perRow; ++i) {
        bits = (bits << depth) | (row[i] & ((1u << depth) - 1));
        for (count += depth; count >= 8; count -= 8) out.push_back(static_cast<uint8_t>(bits >> (count - 8)));
      }
      if (count > 0) out.push_back(static_cast<uint8_t>(bits << (8 - count)));
    }
  }
  return out;
}

inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
  out.resize(size);
  return out;
}

struct PngParts {
  std::vector<uint8_t> ihdr;                 // IHDR data
  std::vector<std::vector<uint8_t>> before;  // whole chunks between IHDR and IDAT
  std::vector<uint8_t> idat;                 // IDAT data (already compressed)
};

inline std::vector<uint8_t> Assemble(const PngParts& parts) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto append = [&](const std::vector<uint8_t>& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
  append(Chunk("IHDR", parts.ihdr));
  for (const auto& c : parts.before) append(c);
  append(Chunk("IDAT", parts.idat));
  append(Chunk("IEND", {}));
  return out;
}

// A whole non-interlaced PNG of the given samples, with optional chunks before IDAT.
inline std::vector<uint8_t> MakePng(uint32_t width, uint32_t height, int depth, int colourType,
                                    const std::vector<uint16_t>& samples,
                                    std::vector<std::vector<uint8_t>> before = {}) {
  static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
  PngParts parts;
  parts.ihdr = IhdrData(width, height, depth, colourType);
  parts.before = std::move(before);
  parts.idat = Deflate(Scanlines(width, height, depth, kChannels[colourType], samples));
  return Assemble(parts);
}

// A bitmap's pixels through GetObjectW; empty for anything that is not one.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  bool operator==(const Picture&) const = default;
};

inline Picture PictureOf(HBITMAP bitmap) {
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {};
  const auto* bits = static_cast<const uint32_t*>(info.bmBits);
  return {info.bmWidth, info.bmHeight,
          std::vector<uint32_t>(bits, bits + size_t(info.bmWidth) * info.bmHeight)};
}

}  // namespace gditest
