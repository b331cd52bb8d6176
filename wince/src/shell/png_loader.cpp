#include "shell/png_loader.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "gdi/bitmap.h"

namespace wce {
namespace {

// Deflate cannot shrink data by more than 1032:1, so a file that small for
// its declared size is cut short: refuse it before allocating the pixels.
constexpr uint64_t kDeflateMaxRatio = 1032;

struct MemoryReader {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
};

// All state lives here rather than in locals, so nothing a longjmp skips over
// needs destroying and nothing it returns to holds a stale register copy.
struct Decode {
  MemoryReader reader;
  png_structp png = nullptr;
  png_infop info = nullptr;
  uint64_t storedBits = 0;  // the pixels as the file stores them, before any transform
  gdi::Bitmap bitmap;
  std::vector<png_bytep> rows;

  ~Decode() { png_destroy_read_struct(&png, &info, nullptr); }
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (count > reader->size - reader->pos) png_error(png, "file ends early");
  std::memcpy(out, reader->data + reader->pos, count);
  reader->pos += count;
}

// libpng's own handlers print to stderr; a damaged picture is just a NULL here.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Runs one libpng step; false when libpng reported an error. `step` must keep
// no locals with destructors: an error leaves it through longjmp.
bool Guarded(Decode& d, void (*step)(Decode&)) {
  if (setjmp(png_jmpbuf(d.png))) return false;
  step(d);
  return true;
}

// Every layout ends up as 8-bit B, G, R, unused in memory, which is the
// device's 0x00RRGGBB on a little-endian host (X, R, G, B on a big-endian one).
// Alpha is ignored: the platform's loader gives an opaque bitmap, and we keep
// the colour channels as stored rather than blending over some background.
// No gamma correction either, for the same reason.
void SetTransforms(png_structp png, png_infop info) {
  int colourType = png_get_color_type(png, info);
  int depth = png_get_bit_depth(png, info);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
    if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_scale_16(png);
  png_set_strip_alpha(png);
  if constexpr (std::endian::native == std::endian::little) {
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  } else {
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
}

void ReadHeader(Decode& d) {
  png_set_read_fn(d.png, &d.reader, ReadBytes);
  png_set_user_limits(d.png, gdi::kMaxBitmapSide, gdi::kMaxBitmapSide);
  png_read_info(d.png, d.info);
  d.storedBits = uint64_t{png_get_image_width(d.png, d.info)} * png_get_image_height(d.png, d.info) *
                 png_get_channels(d.png, d.info) * png_get_bit_depth(d.png, d.info);
  SetTransforms(d.png, d.info);
  png_read_update_info(d.png, d.info);
}

// Reads every row (all passes when interlaced), then the chunks up to IEND:
// a file cut anywhere, even after the last pixel, is refused.
void ReadPixels(Decode& d) {
  png_read_image(d.png, d.rows.data());
  png_read_end(d.png, nullptr);
}

// After ReadHeader: the picture fits the limits and the transforms gave 4 bytes a pixel.
bool HeaderAcceptable(const Decode& d) {
  png_uint_32 width = png_get_image_width(d.png, d.info);
  png_uint_32 height = png_get_image_height(d.png, d.info);
  if (!gdi::BitmapSizeAllowed(width, height)) return false;
  if (uint64_t{d.reader.size} * kDeflateMaxRatio * 8 < d.storedBits) return false;
  return png_get_rowbytes(d.png, d.info) == size_t{width} * 4 && png_get_bit_depth(d.png, d.info) == 8;
}

void AllocatePixels(Decode& d) {
  d.bitmap.width = static_cast<int>(png_get_image_width(d.png, d.info));
  d.bitmap.height = static_cast<int>(png_get_image_height(d.png, d.info));
  d.bitmap.pixels.assign(static_cast<size_t>(d.bitmap.width) * d.bitmap.height, 0);
  d.rows.resize(static_cast<size_t>(d.bitmap.height));
  for (int y = 0; y < d.bitmap.height; ++y) d.rows[y] = reinterpret_cast<png_bytep>(d.bitmap.Row(y));
}

HBITMAP DecodePng(const uint8_t* data, size_t size) {
  if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return nullptr;
  Decode d;
  d.reader = {data, size, 0};
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!d.png) return nullptr;
  d.info = png_create_info_struct(d.png);
  if (!d.info) return nullptr;
  if (!Guarded(d, ReadHeader) || !HeaderAcceptable(d)) return nullptr;
  AllocatePixels(d);
  if (!Guarded(d, ReadPixels)) return nullptr;
  return gdi::AddBitmap(std::move(d.bitmap));
}

}  // namespace

HBITMAP LoadPngFromMemory(const uint8_t* data, size_t size) {
  try {
    return DecodePng(data, size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace wce
