// The loader against PngSuite (beside the checkout, never copied into it).
#include <aygshell.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "device/device.h"
#include "device/internal.h"
#include "gdi/objects.h"
#include "png_bytes.h"
#include "test_files.h"

namespace {

class PngSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string corpora = jptest::CorporaDir();
    if (corpora.empty() || !std::filesystem::is_directory(corpora + "/pngsuite"))
      GTEST_SKIP() << "PngSuite is missing: expected ../shared/corpora/pngsuite beside the checkout";
    dir_ = corpora + "/pngsuite";
  }
  void TearDown() override { wce::internal::GdiReset(); }

  // The suite's pictures, sorted; `corrupt` picks the deliberately broken x*.png.
  std::vector<std::string> Names(bool corrupt) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      std::string name = entry.path().filename().string();
      if (entry.path().extension() == ".png" && (name[0] == 'x') == corrupt) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  HBITMAP Load(const std::string& name) const {
    return SHLoadImageFile(wce::PosixPathToDevice(dir_ + "/" + name).c_str());
  }

  gditest::Picture PictureOfFile(const std::string& name) const {
    HBITMAP bitmap = Load(name + ".png");
    gditest::Picture picture = gditest::PictureOf(bitmap);
    EXPECT_TRUE(DeleteObject(bitmap)) << name;
    return picture;
  }

  std::string dir_;
};

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

TEST_F(PngSuite, EveryValidImageLoadsAtTheSizeItsHeaderDeclares) {
  std::vector<std::string> names = Names(false);
  ASSERT_GT(names.size(), 150u);
  for (const std::string& name : names) {
    std::vector<uint8_t> bytes = jptest::ReadFile(dir_ + "/" + name);
    ASSERT_GE(bytes.size(), 24u) << name;
    HBITMAP bitmap = Load(name);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << name;
    EXPECT_EQ(static_cast<uint32_t>(info.bmWidth), Be32(bytes, 16)) << name;
    EXPECT_EQ(static_cast<uint32_t>(info.bmHeight), Be32(bytes, 20)) << name;
    EXPECT_TRUE(DeleteObject(bitmap)) << name;
  }
}

TEST_F(PngSuite, EveryCorruptImageIsRefusedQuietly) {
  std::vector<std::string> names = Names(true);
  ASSERT_EQ(names.size(), 14u);
  testing::internal::CaptureStderr();
  for (const std::string& name : names) EXPECT_EQ(Load(name), nullptr) << name;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(wce::gdi::ObjectCount(), 0u);
}

TEST_F(PngSuite, OnePictureStoredDifferentlyDecodesAlike) {
  std::vector<std::vector<std::string>> groups = {
      {"z00n2c08", "z03n2c08", "z06n2c08", "z09n2c08"},              // compression levels
      {"basn0g16", "oi1n0g16", "oi2n0g16", "oi4n0g16", "oi9n0g16"},  // IDAT split up
      {"basn2c16", "oi1n2c16", "oi2n2c16", "oi4n2c16", "oi9n2c16"},
  };
  for (const std::string& name : Names(false)) {  // interlaced and plain twins
    bool basic = name.rfind("bas", 0) == 0, sized = name[0] == 's';
    if ((basic || sized) && name[3] == 'i') {
      std::string stem = name.substr(0, name.size() - 4), twin = stem;
      twin[3] = 'n';
      groups.push_back({stem, twin});
    }
  }
  ASSERT_GE(groups.size(), 3u + 30u);
  for (const auto& group : groups) {
    gditest::Picture first = PictureOfFile(group[0]);
    ASSERT_GT(first.width, 0) << group[0];
    for (size_t i = 1; i < group.size(); ++i) EXPECT_EQ(PictureOfFile(group[i]), first) << group[i];
  }
}

TEST_F(PngSuite, KnownPixelsOfSimplePictures) {
  struct Probe {
    const char* name;
    int x, y;
    uint32_t rgb;
  };
  const Probe probes[] = {
      {"basn0g08", 5, 0, 0x050505}, {"basn0g08", 0, 1, 0x202020},   // grey ramp
      {"basn2c08", 1, 0, 0xFFFFFE}, {"basn2c08", 0, 31, 0x1F1F1F},  // colour ramps
      {"basn0g01", 0, 0, 0xFFFFFF}, {"basn0g01", 31, 0, 0x000000},
  };
  for (const Probe& p : probes) {
    gditest::Picture picture = PictureOfFile(p.name);
    ASSERT_EQ(picture.width, 32) << p.name;
    EXPECT_EQ(picture.pixels[size_t(p.y) * 32 + p.x], p.rgb) << p.name << " at " << p.x << "," << p.y;
  }
}

}  // namespace
