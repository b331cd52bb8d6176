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

// The sound packs have their own test beside the sound bank's (tests/sound/default_packs_test.cpp).

}  // namespace
}  // namespace shelltest
