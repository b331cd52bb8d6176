// LoadBitmapW, LoadIconW, LoadCursorW and DestroyIcon over a resource table
// of the test's own making: every stored layout, damaged files, bad names.
#include <windows.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "device/internal.h"
#include "gdi/bitmap.h"
#include "picture_bytes.h"
#include "shell/dib.h"
#include "shell/icon_file.h"
#include "shell/icons.h"
#include "device/device.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

// Six colours, 3 x 2 (rows of three pixels need padding in every layout).
const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808040};

class ResourceTest : public ShellTest {
 protected:
  void TearDown() override {
    wce::SetModuleResources(nullptr, 0);
    ShellTest::TearDown();
  }

  // Makes `files` the program's resources, in that order of kinds and ids.
  void Use(std::vector<wce::EmbeddedResource> table, std::vector<std::vector<uint8_t>> files) {
    files_ = std::move(files);
    table_ = std::move(table);
    for (size_t i = 0; i < table_.size(); ++i) {
      table_[i].bytes = files_[i].data();
      table_[i].size = files_[i].size();
    }
    wce::SetModuleResources(table_.data(), table_.size());
  }

  void UseBitmap(std::vector<uint8_t> bmp) { Use({{wce::ResourceKind::Bitmap, 102, nullptr, 0}}, {std::move(bmp)}); }
  void UseIcon(std::vector<uint8_t> ico) { Use({{wce::ResourceKind::Icon, 101, nullptr, 0}}, {std::move(ico)}); }

  static HINSTANCE Program() { return GetModuleHandleW(nullptr); }

  // The pixels LoadBitmapW gives for resource 102; empty when it fails.
  static std::vector<uint32_t> Loaded(int width, int height) {
    HBITMAP bitmap = LoadBitmapW(Program(), MAKEINTRESOURCE(102));
    std::shared_ptr<wce::gdi::Bitmap> pixels = wce::gdi::FindBitmap(bitmap);
    if (!pixels) return {};
    EXPECT_EQ(pixels->width, width);
    EXPECT_EQ(pixels->height, height);
    std::vector<uint32_t> copy = pixels->pixels;
    EXPECT_TRUE(DeleteObject(bitmap));
    return copy;
  }

 private:
  std::vector<wce::EmbeddedResource> table_;
  std::vector<std::vector<uint8_t>> files_;
};

TEST_F(ResourceTest, EveryStoredLayoutGivesTheSamePixels) {
  struct Case {
    const char* name;
    BmpLayout layout;
    std::vector<uint32_t> values;
  };
  const std::vector<uint32_t> palette = {0x123456, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808040};
  const std::vector<uint32_t> indexes = {1, 2, 3, 4, 5, 6};
  // The same colours as stored words: B, G, R, and an alpha byte to ignore.
  std::vector<uint32_t> words;
  for (uint32_t c : kColours) words.push_back(0x7F000000u | c);
  // And with masks that put red in the low byte and blue in the third.
  std::vector<uint32_t> swapped;
  for (uint32_t c : kColours) swapped.push_back((c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16);
  const Case cases[] = {
      {"24 bottom-up", Layout(3, 2, 24), kColours},
      {"24 top-down", Layout(3, 2, 24, true), kColours},
      {"8 palette", Layout(3, 2, 8, false, palette), indexes},
      {"8 palette top-down", Layout(3, 2, 8, true, palette), indexes},
      {"4 palette", Layout(3, 2, 4, false, palette), indexes},
      {"32", Layout(3, 2, 32), words},
      {"32 top-down", Layout(3, 2, 32, true), words},
      {"32 bitfields", Layout(3, 2, 32, false, {}, {0xFF, 0xFF00, 0xFF0000}), swapped},
  };
  for (const Case& c : cases) {
    UseBitmap(MakeBmp(c.layout, c.values));
    EXPECT_EQ(Loaded(3, 2), kColours) << c.name;
  }
}

TEST_F(ResourceTest, SmallerDepthsScaleTheirChannels) {
  // 1 bit: two colours from the table.
  UseBitmap(MakeBmp(Layout(3, 2, 1, false, {0x102030, 0xA0B0C0}), {0, 1, 0, 1, 1, 0}));
  EXPECT_EQ(Loaded(3, 2), (std::vector<uint32_t>{0x102030, 0xA0B0C0, 0x102030, 0xA0B0C0, 0xA0B0C0, 0x102030}));
  // 16 bits, 5-5-5 by default and 5-6-5 with masks; full fields are 255.
  UseBitmap(MakeBmp(Layout(3, 1, 16), {0x7C00, 0x03E0, 0x001F}));
  EXPECT_EQ(Loaded(3, 1), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
  UseBitmap(MakeBmp(Layout(3, 1, 16, false, {}, {0xF800, 0x07E0, 0x001F}), {0xF800, 0x07E0, 0x0010}));
  EXPECT_EQ(Loaded(3, 1), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x000084}));
  // An index past the colour table reads black.
  UseBitmap(MakeBmp(Layout(2, 1, 8, false, {0xFFFFFF}), {0, 5}));
  EXPECT_EQ(Loaded(2, 1), (std::vector<uint32_t>{0xFFFFFF, 0x000000}));
}

TEST_F(ResourceTest, EachLoadIsANewBitmap) {
  UseBitmap(MakeBmp(Layout(3, 2, 24), kColours));
  HBITMAP a = LoadBitmapW(Program(), MAKEINTRESOURCE(102));
  HBITMAP b = LoadBitmapW(nullptr, L"#102");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  BITMAP info{};
  ASSERT_EQ(GetObjectW(b, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_TRUE(DeleteObject(b));
}

TEST_F(ResourceTest, DamagedBitmapsAreRefused) {
  const BmpLayout layout = Layout(3, 2, 8, false, {0x000000, 0xFFFFFF});
  const std::vector<uint8_t> good = MakeBmp(layout, {0, 1, 0, 1, 0, 1});
  const size_t header = 14;  // the info header starts here
  auto with = [&](size_t at, uint32_t value, int bytes = 4) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  const std::pair<const char*, std::vector<uint8_t>> damaged[] = {
      {"signature", with(0, 'B' | 'A' << 8, 2)},
      {"pixels inside the colour table", with(10, 54 + 4)},
      {"pixels past the end", with(10, static_cast<uint32_t>(good.size()))},
      {"core header", with(header, 12)},
      {"odd header size", with(header, 41)},
      {"no width", with(header + 4, 0)},
      {"negative width", with(header + 4, static_cast<uint32_t>(-3))},
      {"no height", with(header + 8, 0)},
      {"height INT_MIN", with(header + 8, static_cast<uint32_t>(INT_MIN))},
      {"too wide", with(header + 4, 1u << 20)},
      {"two planes", with(header + 12, 2, 2)},
      {"7 bits", with(header + 14, 7, 2)},
      {"RLE8", with(header + 16, 1)},
      {"300 colours", with(header + 32, 300)},
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
  };
  for (const auto& [name, bytes] : damaged) {
    UseBitmap(bytes);
    SetLastError(0);
    EXPECT_EQ(LoadBitmapW(Program(), MAKEINTRESOURCE(102)), nullptr) << name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << name;
  }
  // Cut anywhere, down to the last padding byte of the last row, it is refused.
  for (size_t size = 0; size < good.size(); ++size) {
    UseBitmap(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(size)));
    EXPECT_EQ(LoadBitmapW(Program(), MAKEINTRESOURCE(102)), nullptr) << size;
  }
  UseBitmap(good);
  EXPECT_EQ(Loaded(3, 2), (std::vector<uint32_t>{0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}));
}

// A 32 x 32 and a 16 x 16 image, told apart by colour; the big one has a
// transparent corner in its alpha, the small one in its mask only.
std::vector<uint8_t> TwoSizeIcon() {
  std::vector<uint32_t> big(32 * 32, 0xFF0000FFu);
  big[0] = 0x00000000;
  std::vector<uint32_t> small(16 * 16, 0x00FF0000u);  // no alpha at all: the mask decides
  std::vector<bool> smallMask(16 * 16, false);
  smallMask[0] = true;
  return MakeIco({{16, MakeIconDib(16, small, smallMask)}, {32, MakeIconDib(32, big, {})}});
}

// Whatever one byte of the headers says, decoding either refuses or gives a
// picture whose pixels match its size (the sanitizer builds watch the reads).
TEST(PictureDecoding, ChangedHeaderBytesNeverBreakTheDecoders) {
  auto consistent = [](const std::optional<wce::shell::Picture>& p) {
    return !p || (p->width > 0 && p->height > 0 && p->pixels.size() == size_t(p->width) * p->height);
  };
  std::vector<std::vector<uint8_t>> bitmaps = {
      MakeBmp(Layout(5, 3, 4, false, {0x000000, 0xFFFFFF, 0x808080}), std::vector<uint32_t>(15, 1)),
      MakeBmp(Layout(5, 3, 16, true, {}, {0xF800, 0x07E0, 0x001F}), std::vector<uint32_t>(15, 0x1234)),
  };
  for (const std::vector<uint8_t>& good : bitmaps)
    for (size_t at = 0; at < 80 && at < good.size(); ++at)
      for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::vector<uint8_t> b = good;
        b[at] = value;
        EXPECT_TRUE(consistent(wce::shell::DecodeBmpFile(b.data(), b.size()))) << at << " " << int(value);
      }
  std::vector<uint8_t> icon = TwoSizeIcon();
  for (size_t at = 0; at < 100; ++at)
    for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      std::vector<uint8_t> b = icon;
      b[at] = value;
      for (int side : {16, 32}) EXPECT_TRUE(consistent(wce::shell::DecodeIconFile(b.data(), b.size(), side))) << at;
    }
}

TEST_F(ResourceTest, UnknownNamesAndForeignModulesFindNothing) {
  UseBitmap(MakeBmp(Layout(3, 2, 24), kColours));
  auto fails = [](HBITMAP result, DWORD error) {
    bool ok = result == nullptr && GetLastError() == error;
    SetLastError(0);
    return ok;
  };
  EXPECT_TRUE(fails(LoadBitmapW(Program(), MAKEINTRESOURCE(103)), ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(fails(LoadBitmapW(Program(), L"SPLASH"), ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(fails(LoadBitmapW(Program(), L"#"), ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(fails(LoadBitmapW(Program(), nullptr), ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_TRUE(fails(LoadBitmapW(reinterpret_cast<HINSTANCE>(0x5000), MAKEINTRESOURCE(102)),
                    ERROR_RESOURCE_DATA_NOT_FOUND));
  // A bitmap is not an icon, nor the other way round.
  EXPECT_EQ(LoadIconW(Program(), MAKEINTRESOURCE(102)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  wce::SetModuleResources(nullptr, 0);
  EXPECT_TRUE(fails(LoadBitmapW(Program(), MAKEINTRESOURCE(102)), ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(ResourceTest, IconsLoadOnceAtTheirSize) {
  UseIcon(TwoSizeIcon());
  HICON icon = LoadIconW(Program(), MAKEINTRESOURCE(101));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconW(Program(), MAKEINTRESOURCE(101)), icon);  // shared
  std::shared_ptr<const wce::shell::Picture> picture = wce::shell::IconPicture(icon);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 32);
  EXPECT_EQ(picture->pixels[0], 0x00000000u);
  EXPECT_EQ(picture->pixels[1], 0xFF0000FFu);
  // Destroying a shared icon succeeds and leaves it to the others holding it.
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_NE(wce::shell::IconPicture(icon), nullptr);

  // A low-resolution screen wants the small one.
  wce::internal::ShellReset();
  EXPECT_FALSE(DestroyIcon(icon));  // the old device's handle is dead
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
  wce::SetScreenDpi(48, 48);
  picture = wce::shell::IconPicture(LoadIconW(nullptr, MAKEINTRESOURCE(101)));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 16);
  EXPECT_EQ(picture->pixels[0] >> 24, 0u);
  EXPECT_EQ(picture->pixels[1], 0xFFFF0000u);
}

TEST_F(ResourceTest, DamagedIconsAreRefused) {
  const std::vector<uint8_t> good = TwoSizeIcon();
  auto with = [&](size_t at, uint32_t value, int bytes) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  const size_t secondEntry = 6 + 16;
  const std::pair<const char*, std::vector<uint8_t>> damaged[] = {
      {"cursor file", with(2, 2, 2)},
      {"no images", with(4, 0, 2)},
      {"more entries than the file holds", with(4, 400, 2)},
      {"image past the end", with(secondEntry + 12, static_cast<uint32_t>(good.size()), 4)},
      {"image inside the directory", with(secondEntry + 12, 10, 4)},
      {"image longer than the file", with(secondEntry + 8, static_cast<uint32_t>(good.size()), 4)},
      {"cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
  };
  for (const auto& [name, bytes] : damaged) {
    wce::internal::ShellReset();
    UseIcon(bytes);
    EXPECT_EQ(LoadIconW(Program(), MAKEINTRESOURCE(101)), nullptr) << name;
  }
}

TEST_F(ResourceTest, StockCursorsAndIcons) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrow);
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  ASSERT_NE(wait, nullptr);
  EXPECT_NE(wait, arrow);
  EXPECT_TRUE(DestroyIcon(arrow));
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrow);  // stock: still there
  EXPECT_NE(LoadIconW(nullptr, IDI_APPLICATION), nullptr);

  SetLastError(0);
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(LoadCursorW(Program(), IDC_ARROW), nullptr);  // the program carries no cursors
  EXPECT_FALSE(DestroyIcon(nullptr));
  EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(0x4321)));
}

}  // namespace
}  // namespace shelltest
