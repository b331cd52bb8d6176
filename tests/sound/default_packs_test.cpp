// The sound packs we ship (assets/Sounds): enough packs and sounds, each pack
// with its two pictures at the sizes the screens show them, and every WAV in
// the layout the reader takes at fixed offsets, short, clean and equally loud.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "png_reader.h"
#include "test_files.h"

namespace jptest {
namespace {

namespace fs = std::filesystem;

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

std::string Tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

std::vector<fs::path> Packs() {
  std::vector<fs::path> packs;
  for (const fs::directory_entry& e : fs::directory_iterator(std::string(JP_ASSETS_DIR) + "/Sounds"))
    if (e.is_directory()) packs.push_back(e.path());
  return packs;
}

std::vector<fs::path> Sounds(const fs::path& pack) {
  std::vector<fs::path> sounds;
  for (const fs::directory_entry& e : fs::directory_iterator(pack))
    if (e.path().extension() == ".wav") sounds.push_back(e.path());
  return sounds;
}

double Dbfs(int sample) { return 20 * std::log10(std::abs(sample) / 32768.0); }

TEST(DefaultPacks, FourPacksOrMoreOfFiveSoundsEachWithBothPictures) {
  std::vector<fs::path> packs = Packs();
  EXPECT_GE(packs.size(), 4u);
  std::map<std::string, std::string> packOfName;
  for (const fs::path& pack : packs) {
    std::string name = pack.filename().string();
    SCOPED_TRACE(name);
    EXPECT_GE(Sounds(pack).size(), 5u);
    // Slots are filled by file name, so a name in two packs could never be
    // given to a slot from the pack that sorts later.
    for (const fs::path& sound : Sounds(pack)) {
      auto [at, fresh] = packOfName.emplace(sound.filename().string(), name);
      EXPECT_TRUE(fresh) << sound.filename() << " is also in " << at->second;
    }
    // Big: the Home grid's icon (128 at 192 dpi); small: the Sounds page's (48).
    const struct {
      const char* suffix;
      int side;
    } pictures[] = {{"B.png", 128}, {"S.png", 48}};
    for (const auto& picture : pictures) {
      PngImage image;
      ASSERT_TRUE(ReadPngRgb((pack / (name + picture.suffix)).string(), image)) << picture.suffix;
      EXPECT_EQ(image.width, picture.side) << picture.suffix;
      EXPECT_EQ(image.height, picture.side) << picture.suffix;
      EXPECT_EQ(image.At(0, 0), 0xFF00FFu) << picture.suffix << ": the corners are the transparent colour";
    }
  }
}

TEST(DefaultPacks, EverySoundIsCanonicalShortNormalisedAndUnclipped) {
  int checked = 0;
  for (const fs::path& pack : Packs()) {
    for (const fs::path& path : Sounds(pack)) {
      SCOPED_TRACE(path.parent_path().filename().string() + "/" + path.filename().string());
      std::vector<uint8_t> b = ReadFile(path.string());
      ASSERT_GT(b.size(), 44u);
      // RIFF / WAVE / a 16-byte fmt chunk / data: the 44-byte layout, nothing in between.
      EXPECT_EQ(Tag(b, 0), "RIFF");
      EXPECT_EQ(Le(b, 4, 4), b.size() - 8);
      EXPECT_EQ(Tag(b, 8), "WAVE");
      EXPECT_EQ(Tag(b, 12), "fmt ");
      EXPECT_EQ(Le(b, 16, 4), 16u);
      EXPECT_EQ(Tag(b, 36), "data");
      EXPECT_EQ(Le(b, 40, 4), b.size() - 44) << "bytes after the samples would be played too";
      uint32_t tag = Le(b, 20, 2), channels = Le(b, 22, 2), rate = Le(b, 24, 4);
      uint32_t byteRate = Le(b, 28, 4), align = Le(b, 32, 2), bits = Le(b, 34, 2);
      EXPECT_EQ(tag, 1u);
      EXPECT_EQ(bits, 16u);
      EXPECT_TRUE(channels == 1 || channels == 2) << channels;
      EXPECT_TRUE(rate == 44100 || rate == 48000) << rate;
      EXPECT_EQ(align, channels * 2);
      EXPECT_EQ(byteRate, rate * align);
      if (align == 0 || rate == 0) continue;

      size_t count = (b.size() - 44) / 2;
      double seconds = double(count / channels) / rate;
      EXPECT_GT(seconds, 0.05);
      EXPECT_LT(seconds, 2.0);
      int peak = 0, clipped = 0;
      for (size_t i = 0; i < count; ++i) {
        int s = static_cast<int16_t>(Le(b, 44 + 2 * i, 2));
        peak = std::max(peak, std::abs(s));
        if (s >= 32767 || s <= -32767) ++clipped;
      }
      EXPECT_EQ(clipped, 0);
      EXPECT_GE(Dbfs(peak), -3.0);
      EXPECT_LE(Dbfs(peak), -0.5);
      // Faded in and out: no step from or to silence.
      int first = static_cast<int16_t>(Le(b, 44, 2));
      int last = static_cast<int16_t>(Le(b, b.size() - 2, 2));
      EXPECT_LT(std::abs(first), 100);
      EXPECT_LT(std::abs(last), 100);
      ++checked;
    }
  }
  EXPECT_GE(checked, 20);
}

}  // namespace
}  // namespace jptest
