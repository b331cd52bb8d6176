#include <aygshell.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "device/device.h"
#include "device/internal.h"
#include "gdi/objects.h"
#include "png_bytes.h"
#include "png_writer.h"
#include "shell/png_loader.h"
#include "test_files.h"

using gditest::MakePng;
using gditest::PictureOf;

namespace {

using Bytes = std::vector<uint8_t>;

class PngLoader : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(wce::gdi::ObjectCount(), 0u) << "a test left bitmaps behind";
    wce::internal::GdiReset();
  }

  // The pixels of a picture decoded from `bytes`, deleted again; empty when refused.
  static gditest::Picture Decode(const Bytes& bytes) {
    HBITMAP bitmap = wce::LoadPngFromMemory(bytes.data(), bytes.size());
    gditest::Picture picture = PictureOf(bitmap);
    if (bitmap) {
      EXPECT_TRUE(DeleteObject(bitmap));
    }
    return picture;
  }

  static HBITMAP LoadFile(const std::string& posixPath) {
    return SHLoadImageFile(wce::PosixPathToDevice(posixPath).c_str());
  }

  static std::pair<int, int> SizeOf(const Bytes& bytes) {
    HBITMAP bitmap = wce::LoadPngFromMemory(bytes.data(), bytes.size());
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    if (bitmap) {
      EXPECT_TRUE(DeleteObject(bitmap));
    }
    return {info.bmWidth, info.bmHeight};
  }

  // A 16 x 16 RGB gradient to damage.
  static Bytes Sample() {
    std::vector<uint16_t> samples;
    for (int i = 0; i < 256; ++i)
      samples.insert(samples.end(), {uint16_t(i), uint16_t(255 - i), uint16_t(i / 2)});
    return MakePng(16, 16, 8, 2, samples);
  }
};

struct FormatCase {
  const char* name;
  int width, depth, colourType;
  std::vector<uint16_t> samples;  // one row
  std::vector<Bytes> chunks;
  std::vector<uint32_t> expected;
};

Bytes Plte(std::vector<uint8_t> rgb) { return gditest::Chunk("PLTE", rgb); }

TEST_F(PngLoader, EveryLayoutBecomesOpaque8BitRgb) {
  const FormatCase cases[] = {
      {"grey 1", 9, 1, 0, {1, 0, 1, 1, 0, 0, 1, 0, 1}, {},
       {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF}},
      {"grey 2", 4, 2, 0, {0, 1, 2, 3}, {}, {0, 0x555555, 0xAAAAAA, 0xFFFFFF}},
      {"grey 4", 3, 4, 0, {0, 7, 15}, {}, {0, 0x777777, 0xFFFFFF}},
      {"grey 8 + tRNS", 2, 8, 0, {0x40, 0x41}, {gditest::Chunk("tRNS", {0, 0x40})}, {0x404040, 0x414141}},
      {"grey 16", 2, 16, 0, {0x8080, 0xFFFF}, {}, {0x808080, 0xFFFFFF}},
      {"grey+alpha 8", 2, 8, 4, {0x40, 0, 0xC0, 0xFF}, {}, {0x404040, 0xC0C0C0}},
      {"grey+alpha 16", 1, 16, 4, {0x4040, 0}, {}, {0x404040}},
      {"rgb 8", 2, 8, 2, {0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA}, {}, {0x123456, 0xFEDCBA}},
      {"rgb 8 + tRNS + gAMA 0.1", 1, 8, 2, {0x12, 0x34, 0x56},
       {gditest::Chunk("gAMA", {0, 0, 0x27, 0x10}), gditest::Chunk("tRNS", {0, 0x12, 0, 0x34, 0, 0x56})},
       {0x123456}},
      {"rgb 16", 1, 16, 2, {0x1212, 0x3434, 0x5656}, {}, {0x123456}},
      {"rgba 8", 2, 8, 6, {0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0x80}, {}, {0x112233, 0x445566}},
      {"rgba 16", 1, 16, 6, {0x1111, 0x2222, 0x3333, 0}, {}, {0x112233}},
      {"palette 2 + tRNS", 4, 2, 3, {3, 2, 1, 0},
       {Plte({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), gditest::Chunk("tRNS", {0, 0x80})},
       {0x0A0B0C, 0x070809, 0x040506, 0x010203}},
      {"palette 8", 2, 8, 3, {1, 0}, {Plte({0xAA, 0xBB, 0xCC, 0x11, 0x22, 0x33})}, {0x112233, 0xAABBCC}},
  };
  for (const FormatCase& c : cases) {
    gditest::Picture picture = Decode(MakePng(c.width, 1, c.depth, c.colourType, c.samples, c.chunks));
    EXPECT_EQ(picture, (gditest::Picture{c.width, 1, c.expected})) << c.name;
  }
}

TEST_F(PngLoader, RowsRunTopDownAndAFileRoundTrips) {
  jptest::TempDir dir;
  std::vector<uint32_t> pixels;
  for (uint32_t i = 0; i < 15; ++i) pixels.push_back(i * 0x010203 + 0x100000 * (i % 3));
  ASSERT_TRUE(jptest::WritePngRgb(dir / "Bild ä.png", 5, 3, pixels));
  HBITMAP bitmap = LoadFile(dir / "Bild ä.png");
  EXPECT_EQ(PictureOf(bitmap), (gditest::Picture{5, 3, pixels}));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(PngLoader, DamagedPngsAreRefusedQuietly) {
  const Bytes good = Sample();
  Bytes trailing = good;
  trailing.push_back('x');
  ASSERT_EQ(Decode(trailing), Decode(good)) << "bytes after IEND are no damage";
  ASSERT_EQ(Decode(good).width, 16);
  testing::internal::CaptureStderr();
  for (size_t length = 0; length < good.size(); ++length)
    EXPECT_EQ(Decode(Bytes(good.begin(), good.begin() + length)).width, 0) << "cut at " << length;
  for (size_t byte = 8; byte < 33; ++byte) {  // all of the IHDR chunk
    for (int bit = 0; bit < 8; ++bit) {
      Bytes flipped = good;
      flipped[byte] ^= static_cast<uint8_t>(1 << bit);
      EXPECT_EQ(Decode(flipped).width, 0) << "IHDR byte " << byte << " bit " << bit;
    }
  }
  Bytes idatFlip = good;
  idatFlip[50] ^= 0x10;  // inside the IDAT data: its CRC no longer matches
  EXPECT_EQ(Decode(idatFlip).width, 0);
  const Bytes row = {0, 1, 2, 3};
  const Bytes invalid[] = {
      MakePng(4, 1, 3, 0, {0, 1, 2, 3}),                       // no such depth
      MakePng(1, 1, 8, 5, {0, 0}),                             // no such colour type
      MakePng(1, 1, 16, 3, {0}, {Plte({0, 0, 0})}),            // no 16-bit palettes
      MakePng(1, 1, 8, 3, {0}),                                // palette missing
      MakePng(1, 1, 8, 0, {0}, {gditest::Chunk("CRIT", {})}),  // unknown critical chunk
      gditest::Assemble({gditest::IhdrData(0, 1, 8, 0), {}, gditest::Deflate({0})}),        // width 0
      gditest::Assemble({gditest::IhdrData(1, 1, 8, 0, 2), {}, gditest::Deflate({0, 0})}),  // interlace 2
      gditest::Assemble({gditest::IhdrData(2, 2, 8, 0), {}, gditest::Deflate(row)}),        // a row short
  };
  for (size_t i = 0; i < std::size(invalid); ++i) EXPECT_EQ(Decode(invalid[i]).width, 0) << "invalid #" << i;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(PngLoader, SizesPastTheLimitsAreRefusedAndTheLimitsThemselvesLoad) {
  auto blank = [](uint32_t w, uint32_t h, Bytes idat = {}) {  // black, 1 bit a pixel
    if (idat.empty()) idat = gditest::Deflate(Bytes(size_t(h) * ((w + 7) / 8 + 1)));
    return gditest::Assemble({gditest::IhdrData(w, h, 1, 0), {}, idat});
  };
  using Size = std::pair<int, int>;
  EXPECT_EQ(SizeOf(blank(16384, 1)), Size(16384, 1));
  EXPECT_EQ(SizeOf(blank(4096, 4096)), Size(4096, 4096));
  EXPECT_EQ(SizeOf(blank(16385, 1)), Size(0, 0));
  EXPECT_EQ(SizeOf(blank(4096, 4097)), Size(0, 0));
  // A few bytes cannot hold 4000 x 4000 pixels: refused on the size alone.
  EXPECT_EQ(SizeOf(blank(4000, 4000, gditest::Deflate({0, 0, 0, 0}))), Size(0, 0));
}

TEST_F(PngLoader, FilesThatAreNoPngGiveNull) {
  jptest::TempDir dir;
  ASSERT_TRUE(jptest::WriteFile(dir / "empty.png", {}));
  ASSERT_TRUE(jptest::WriteText(dir / "text.png", "not a picture\n"));
  Bytes cut = Sample();
  cut.resize(cut.size() - 12);  // all pixels there, IEND gone
  ASSERT_TRUE(jptest::WriteFile(dir / "cut.png", cut));
  ASSERT_TRUE(jptest::MakeDirs(dir / "folder.png"));
  for (const char* name : {"empty.png", "text.png", "cut.png", "folder.png", "missing.png"})
    EXPECT_EQ(LoadFile(dir / name), nullptr) << name;
  EXPECT_EQ(SHLoadImageFile(nullptr), nullptr);
  EXPECT_EQ(SHLoadImageFile(L""), nullptr);
}

}  // namespace
