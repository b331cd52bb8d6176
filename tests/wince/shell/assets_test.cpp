// The files the build ships, as the tools/ generators make them: the resource
// pictures at the sizes and depths the program expects, and sound packs the
// sound bank can read.
#include <aygshell.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gdi/bitmap.h"
#include "shell/dib.h"
#include "shell/icon_file.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

namespace fs = std::filesystem;

// The checkout, found from this file's place in it.
fs::path Checkout() { return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path(); }

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

uint16_t Read16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

using AssetsTest = ShellTest;

TEST_F(AssetsTest, ResourcePicturesHaveTheirSizesAndDepths) {
  struct Expected {
    const char* file;
    int width;
    int height;
    int bits;
  };
  const Expected bitmaps[] = {
      {"102_splash.bmp", 480, 480, 24},
      {"103_title.bmp", 380, 40, 8},
      {"104_donate_up.bmp", 184, 52, 8},
      {"105_donate_down.bmp", 184, 52, 8},
  };
  for (const Expected& e : bitmaps) {
    std::vector<uint8_t> bytes = jptest::ReadFile((Checkout() / "resources" / e.file).string());
    ASSERT_GT(bytes.size(), 54u) << e.file;
    EXPECT_EQ(Read16(bytes, 28), e.bits) << e.file;
    std::optional<wce::shell::Picture> picture = wce::shell::DecodeBmpFile(bytes.data(), bytes.size());
    ASSERT_TRUE(picture.has_value()) << e.file;
    EXPECT_EQ(picture->width, e.width) << e.file;
    EXPECT_EQ(picture->height, e.height) << e.file;
  }
  std::vector<uint8_t> icon = jptest::ReadFile((Checkout() / "resources" / "101_icon.ico").string());
  for (int side : {64, 48, 32, 16}) {
    std::optional<wce::shell::Picture> picture = wce::shell::DecodeIconFile(icon.data(), icon.size(), side);
    ASSERT_TRUE(picture.has_value()) << side;
    EXPECT_EQ(picture->width, side);
    EXPECT_EQ(picture->pixels[0] >> 24, 0u) << "corners show through";
    EXPECT_EQ(picture->pixels[static_cast<size_t>(side / 2) * side + side / 2] >> 24, 0xFFu);
  }
  ASSERT_GE(icon.size(), 6u + 4 * 16);
  EXPECT_EQ(Read16(icon, 4), 4);
  for (size_t entry = 0; entry < 4; ++entry) EXPECT_EQ(Read16(icon, 6 + 16 * entry + 6), 32);  // bits a pixel
}

TEST_F(AssetsTest, SoundPacksHoldShortPlayableSoundsAndTheirPictures) {
  fs::path sounds = Checkout() / "assets" / "Sounds";
  uintmax_t total = 0;
  int packs = 0;
  for (const fs::directory_entry& pack : fs::directory_iterator(sounds)) {
    if (!pack.is_directory()) continue;
    ++packs;
    std::string name = pack.path().filename().string();
    for (const char* suffix : {"B.png", "S.png"}) {
      std::wstring device = wce::PosixPathToDevice((pack.path() / (name + suffix)).string());
      HBITMAP picture = SHLoadImageFile(device.c_str());
      EXPECT_NE(picture, nullptr) << name << suffix;
      std::shared_ptr<wce::gdi::Bitmap> pixels = wce::gdi::FindBitmap(picture);
      int side = suffix[0] == 'B' ? 64 : 32;
      EXPECT_EQ(pixels ? pixels->width : 0, side) << name << suffix;
      DeleteObject(picture);
    }
    int wavs = 0;
    for (const fs::directory_entry& file : fs::directory_iterator(pack.path())) {
      total += file.file_size();
      if (file.path().extension() != ".wav") continue;
      ++wavs;
      std::vector<uint8_t> b = jptest::ReadFile(file.path().string());
      std::string where = file.path().filename().string();
      ASSERT_GE(b.size(), 44u) << where;
      EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF") << where;
      EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ") << where;
      EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data") << where;
      EXPECT_EQ(Read16(b, 20), 1) << where;  // PCM
      EXPECT_EQ(Read16(b, 22), 1) << where;  // mono
      EXPECT_EQ(Read16(b, 34), 16) << where;
      uint32_t rate = Read32(b, 24);
      EXPECT_TRUE(rate == 22050 || rate == 44100) << where;
      uint32_t data = Read32(b, 40);
      EXPECT_EQ(data + 44, b.size()) << where;
      double seconds = data / 2.0 / rate;
      EXPECT_GE(seconds, 0.2) << where;
      EXPECT_LE(seconds, 0.8) << where;
    }
    EXPECT_GE(wavs, 1) << name;
  }
  EXPECT_GE(packs, 2);
  EXPECT_LT(total, 1024u * 1024u);
}

}  // namespace
}  // namespace shelltest
