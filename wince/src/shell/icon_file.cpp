#include "shell/icon_file.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "gdi/bitmap.h"
#include "shell/png_loader.h"

namespace wce::shell {
namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kEntrySize = 16;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct Entry {
  int width = 0;
  int height = 0;
  int bits = 0;
  uint32_t size = 0;
  uint32_t offset = 0;
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// ICONDIR (reserved 0, type 1 for icons, count) and its ICONDIRENTRYs; every
// image must lie inside the file, after the directory.
bool ReadDirectory(const uint8_t* data, size_t size, std::vector<Entry>& entries) {
  if (!data || size < kDirectoryHeader || U16(data) != 0 || U16(data + 2) != 1) return false;
  size_t count = U16(data + 4);
  size_t directoryEnd = kDirectoryHeader + count * kEntrySize;
  if (count == 0 || directoryEnd > size) return false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + kDirectoryHeader + i * kEntrySize;
    Entry entry;
    entry.width = e[0] ? e[0] : 256;  // 0 stands for 256
    entry.height = e[1] ? e[1] : 256;
    entry.bits = U16(e + 6);
    entry.size = U32(e + 8);
    entry.offset = U32(e + 12);
    if (entry.offset < directoryEnd || entry.offset > size || entry.size > size - entry.offset || entry.size < 8)
      return false;
    entries.push_back(entry);
  }
  return true;
}

const Entry& Closest(const std::vector<Entry>& entries, int side) {
  const Entry* best = &entries.front();
  auto distance = [side](const Entry& e) { return std::abs(e.width - side) + std::abs(e.height - side); };
  for (const Entry& e : entries)
    if (distance(e) < distance(*best) || (distance(e) == distance(*best) && e.bits > best->bits)) best = &e;
  return *best;
}

// PNG images go through the shell's PNG loader and its bitmap, then that
// bitmap goes away again.
std::optional<Picture> DecodePngImage(const uint8_t* data, size_t size) {
  HBITMAP bitmap = LoadPngFromMemory(data, size);
  if (!bitmap) return std::nullopt;
  std::shared_ptr<gdi::Bitmap> pixels = gdi::FindBitmap(bitmap);
  Picture picture;
  if (pixels) {
    picture.width = pixels->width;
    picture.height = pixels->height;
    picture.pixels = pixels->pixels;
    for (uint32_t& p : picture.pixels) p |= 0xFF000000u;
  }
  DeleteObject(bitmap);
  if (!pixels) return std::nullopt;
  return picture;
}

}  // namespace

std::optional<Picture> DecodeIconFile(const uint8_t* data, size_t size, int side) {
  std::vector<Entry> entries;
  if (!ReadDirectory(data, size, entries)) return std::nullopt;
  const Entry& chosen = Closest(entries, side);
  const uint8_t* image = data + chosen.offset;
  if (std::memcmp(image, kPngSignature, sizeof kPngSignature) == 0) return DecodePngImage(image, chosen.size);
  return DecodeIconDib(image, chosen.size);
}

}  // namespace wce::shell
