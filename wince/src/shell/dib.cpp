#include "shell/dib.h"

#include <bit>
#include <climits>

#include "gdi/bitmap.h"

namespace wce::shell {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kOpaque = 0xFF000000u;

// Little-endian reads with bounds checks; nothing here trusts a stored size.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  bool Has(uint64_t at, uint64_t count) const { return at <= size_ && count <= size_ - at; }
  const uint8_t* At(size_t at) const { return data_ + at; }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }
  uint32_t U32(size_t at) const {
    return static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
           static_cast<uint32_t>(data_[at + 2]) << 16 | static_cast<uint32_t>(data_[at + 3]) << 24;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }

 private:
  const uint8_t* data_;
  size_t size_;
};

struct Masks {
  uint32_t red = 0;
  uint32_t green = 0;
  uint32_t blue = 0;
  uint32_t alpha = 0;
};

struct DibHeader {
  int width = 0;
  int rows = 0;  // as stored; an icon's are its colour rows and then its mask rows
  bool topDown = false;
  int bitCount = 0;
  Masks masks;
  std::vector<uint32_t> palette;  // 0xFFRRGGBB
  size_t end = 0;                 // just past the header, the masks and the colour table
};

// The sizes of BITMAPINFOHEADER and its later forms (V2, V3, V4, V5).
bool KnownHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool ReadMasks(const Bytes& b, size_t header, uint32_t headerSize, int bits, uint32_t compression, size_t& pos,
               Masks& masks) {
  if (compression == kBiRgb) {
    if (bits == 16) masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (bits == 32) masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  }
  if (compression != kBiBitfields || (bits != 16 && bits != 32)) return false;  // RLE, JPEG, PNG: not read here
  if (headerSize == 40) {
    // The three masks follow a plain BITMAPINFOHEADER.
    if (!b.Has(pos, 12)) return false;
    masks = {b.U32(pos), b.U32(pos + 4), b.U32(pos + 8), 0};
    pos += 12;
  } else {
    masks = {b.U32(header + 40), b.U32(header + 44), b.U32(header + 48), headerSize >= 56 ? b.U32(header + 52) : 0};
  }
  if ((masks.red | masks.green | masks.blue) == 0) return false;
  if (bits == 16 && (masks.red | masks.green | masks.blue | masks.alpha) > 0xFFFF) return false;
  return true;
}

bool ReadPalette(const Bytes& b, int bits, uint32_t used, size_t& pos, std::vector<uint32_t>& palette) {
  if (bits > 8) {
    // A colour table beside true-colour pixels is only a hint for palettised
    // displays: stepped over.
    if (!b.Has(pos, uint64_t{used} * 4)) return false;
    pos += size_t{used} * 4;
    return true;
  }
  uint32_t most = 1u << bits;
  if (used > most) return false;
  uint32_t count = used ? used : most;
  if (!b.Has(pos, uint64_t{count} * 4)) return false;
  palette.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* q = b.At(pos + size_t{i} * 4);  // RGBQUAD: blue, green, red, reserved
    palette[i] = kOpaque | uint32_t{q[2]} << 16 | uint32_t{q[1]} << 8 | q[0];
  }
  pos += size_t{count} * 4;
  return true;
}

bool ReadHeader(const Bytes& b, size_t at, DibHeader& h) {
  if (!b.Has(at, 4)) return false;
  uint32_t size = b.U32(at);
  if (!KnownHeaderSize(size) || !b.Has(at, size)) return false;
  int32_t width = b.I32(at + 4);
  int32_t height = b.I32(at + 8);
  uint16_t planes = b.U16(at + 12);
  if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) return false;
  h.width = width;
  h.topDown = height < 0;
  h.rows = height < 0 ? -height : height;
  h.bitCount = b.U16(at + 14);
  if (!gdi::BitmapSizeAllowed(static_cast<uint64_t>(h.width), static_cast<uint64_t>(h.rows))) return false;
  size_t pos = at + size;
  if (!ReadMasks(b, at, size, h.bitCount, b.U32(at + 16), pos, h.masks)) return false;
  if (!ReadPalette(b, h.bitCount, b.U32(at + 32), pos, h.palette)) return false;
  h.end = pos;
  return true;
}

// One channel picked out by its mask and brought to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t field = mask >> shift;
  uint32_t v = (value >> shift) & field;
  int width = std::bit_width(field);
  if (width >= 8) return v >> (width - 8);
  return (v * 255 + field / 2) / field;
}

uint32_t FromMasks(uint32_t value, const Masks& m) {
  uint32_t alpha = m.alpha ? Channel(value, m.alpha) : 0xFF;
  return alpha << 24 | Channel(value, m.red) << 16 | Channel(value, m.green) << 8 | Channel(value, m.blue);
}

uint32_t PixelAt(const uint8_t* row, int x, const DibHeader& h) {
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8: {
      // Pixels fill each byte from its high bits down.
      int bit = x * h.bitCount;
      unsigned index = (row[bit / 8] >> (8 - h.bitCount - bit % 8)) & ((1u << h.bitCount) - 1);
      return index < h.palette.size() ? h.palette[index] : kOpaque;  // outside the table: black
    }
    case 16:
      return FromMasks(static_cast<uint32_t>(row[2 * x] | row[2 * x + 1] << 8), h.masks);
    case 24: {
      const uint8_t* p = row + 3 * x;
      return kOpaque | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    default: {
      const uint8_t* p = row + 4 * x;
      uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
      return FromMasks(v, h.masks);
    }
  }
}

uint64_t Stride(int width, int bits) { return (uint64_t(width) * bits + 31) / 32 * 4; }

// Stored row `r` of `rows` lands on this picture row.
int TargetRow(const DibHeader& h, int r, int rows) { return h.topDown ? r : rows - 1 - r; }

bool ReadColourRows(const Bytes& b, size_t at, const DibHeader& h, int rows, Picture& out) {
  uint64_t stride = Stride(h.width, h.bitCount);
  if (!b.Has(at, stride * rows)) return false;
  out.width = h.width;
  out.height = rows;
  out.pixels.assign(size_t(h.width) * rows, 0);
  for (int r = 0; r < rows; ++r) {
    const uint8_t* row = b.At(at + size_t(stride) * r);
    uint32_t* target = out.pixels.data() + size_t(TargetRow(h, r, rows)) * h.width;
    for (int x = 0; x < h.width; ++x) target[x] = PixelAt(row, x, h);
  }
  return true;
}

// The AND mask: a set bit leaves the screen showing through.
void ApplyMask(const Bytes& b, size_t at, const DibHeader& h, Picture& picture) {
  uint64_t stride = Stride(h.width, 1);
  for (int r = 0; r < picture.height; ++r) {
    const uint8_t* row = b.At(at + size_t(stride) * r);
    uint32_t* target = picture.pixels.data() + size_t(TargetRow(h, r, picture.height)) * h.width;
    for (int x = 0; x < h.width; ++x) {
      bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
      target[x] = (target[x] & 0xFFFFFF) | (transparent ? 0 : kOpaque);
    }
  }
}

bool AnyAlpha(const Picture& picture) {
  for (uint32_t p : picture.pixels)
    if (p >> 24) return true;
  return false;
}

}  // namespace

std::optional<Picture> DecodeBmpFile(const uint8_t* data, size_t size) {
  Bytes b(data, size);
  if (!b.Has(0, 14) || data[0] != 'B' || data[1] != 'M') return std::nullopt;
  uint32_t pixelsAt = b.U32(10);
  DibHeader h;
  if (!ReadHeader(b, 14, h)) return std::nullopt;
  if (pixelsAt < h.end) return std::nullopt;  // pixels inside the header or the colour table
  Picture picture;
  if (!ReadColourRows(b, pixelsAt, h, h.rows, picture)) return std::nullopt;
  for (uint32_t& p : picture.pixels) p |= kOpaque;  // a bitmap has no transparency
  return picture;
}

std::optional<Picture> DecodeIconDib(const uint8_t* data, size_t size) {
  Bytes b(data, size);
  DibHeader h;
  if (!ReadHeader(b, 0, h) || h.rows < 2) return std::nullopt;
  int rows = h.rows / 2;
  Picture picture;
  if (!ReadColourRows(b, h.end, h, rows, picture)) return std::nullopt;
  size_t maskAt = h.end + size_t(Stride(h.width, h.bitCount)) * rows;
  bool hasMask = b.Has(maskAt, Stride(h.width, 1) * rows);
  if (h.bitCount == 32 && AnyAlpha(picture)) return picture;
  // Without alpha of their own the pixels need the mask: 32-bit pictures of
  // old may leave it out and are then opaque; the others must carry it.
  if (hasMask) {
    ApplyMask(b, maskAt, h, picture);
  } else if (h.bitCount == 32) {
    for (uint32_t& p : picture.pixels) p |= kOpaque;
  } else {
    return std::nullopt;
  }
  return picture;
}

}  // namespace wce::shell
