#include "image_compare.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "png_writer.h"

namespace jptest {
namespace {

std::string Hex(uint32_t pixel) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(pixel));
  return text;
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16, 24}) {
    int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    if (d > worst) worst = d;
  }
  return worst;
}

// Suite.Test, with characters a file name should not hold replaced.
std::string TestName(const std::string& label) {
  std::string name = "image";
  if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info())
    name = std::string(test->test_suite_name()) + "." + test->name();
  if (!label.empty()) name += "." + label;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') c = '_';
  return name;
}

// Both pictures beside each other on disk; the message says where.
std::string Keep(const Image& actual, const Image& expected, const std::string& label) {
  std::string dir = ImageOutputDir();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::string base = dir + "/" + TestName(label);
  std::string actualPath = base + ".actual.png", expectedPath = base + ".expected.png";
  bool ok = WritePngRgb(actualPath, actual.width, actual.height, actual.pixels) &&
            WritePngRgb(expectedPath, expected.width, expected.height, expected.pixels);
  if (!ok) return "(the pictures could not be written to " + dir + ")";
  return "pictures: " + actualPath + " and " + expectedPath;
}

}  // namespace

Image::Image(int w, int h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(w > 0 ? w : 0) * (h > 0 ? h : 0), fill) {}

Image ImageFromRows(const std::vector<std::string>& rows, const std::map<char, uint32_t>& palette) {
  Image image(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < image.height; ++y) {
    EXPECT_EQ(rows[y].size(), rows[0].size()) << "row " << y << " of a hand-written picture";
    for (int x = 0; x < image.width && x < static_cast<int>(rows[y].size()); ++x) {
      auto found = palette.find(rows[y][x]);
      EXPECT_NE(found, palette.end()) << "no colour for '" << rows[y][x] << "'";
      image.At(x, y) = found == palette.end() ? 0 : found->second;
    }
  }
  return image;
}

std::string ImageOutputDir() {
  if (const char* dir = std::getenv("JP_TEST_OUTPUT_DIR"); dir && *dir) return dir;
  std::error_code ec;
  std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) temp = ".";
  return (temp / "jostlepad-images").string();
}

::testing::AssertionResult ImagesMatch(const Image& actual, const Image& expected, int tolerance,
                                       const std::string& label) {
  if (actual.width != expected.width || actual.height != expected.height) {
    return ::testing::AssertionFailure() << "size " << actual.width << " x " << actual.height << ", expected "
                                         << expected.width << " x " << expected.height;
  }
  size_t differing = 0;
  size_t first = 0;
  for (size_t i = 0; i < actual.pixels.size(); ++i) {
    if (ChannelDistance(actual.pixels[i], expected.pixels[i]) <= tolerance) continue;
    if (differing++ == 0) first = i;
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  int x = static_cast<int>(first % actual.width), y = static_cast<int>(first / actual.width);
  std::ostringstream message;
  message << "pixel (" << x << ", " << y << ") is " << Hex(actual.pixels[first]) << ", expected "
          << Hex(expected.pixels[first]);
  if (tolerance > 0) message << " (tolerance " << tolerance << ")";
  message << "; " << differing << " of " << actual.pixels.size() << " pixels differ; "
          << Keep(actual, expected, label);
  return ::testing::AssertionFailure() << message.str();
}

}  // namespace jptest
