// Device-independent bitmaps as resources hold them: a .bmp file (file header
// and DIB) for bitmaps, packed DIBs with an AND mask inside icon files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace wce::shell {

// A decoded picture: pixels 0xAARRGGBB, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// A whole .bmp file: BITMAPFILEHEADER, then BITMAPINFOHEADER (or its V4/V5
// forms), optional colour masks, the colour table and the pixels at the
// header's offset. Uncompressed 1, 4, 8, 16, 24 and 32 bits a pixel and
// BI_BITFIELDS for 16 and 32; bottom-up or top-down. Alpha reads 0xFF.
// Nothing for a file that is cut short, inconsistent or of a kind not read
// here (compressed, OS/2 headers), or too big for a bitmap of the device.
std::optional<Picture> DecodeBmpFile(const uint8_t* data, size_t size);

// The image of one icon directory entry stored as a packed DIB: the header
// gives twice the icon's height (colour rows, then the AND mask rows). Alpha
// comes from a 32-bit image's own alpha, otherwise from the mask (a set bit
// is transparent).
std::optional<Picture> DecodeIconDib(const uint8_t* data, size_t size);

}  // namespace wce::shell
