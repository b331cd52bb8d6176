// The skin the program ships with (assets/Skin): every picture the loader asks
// for is there, loads through the shell's image loader and has the size its
// control shows it at on the 480 x 640, 192 dpi screen it is drawn for; the
// description file lists the same pictures and a typeface the device can draw.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/AppState.h"
#include "app/ScreenLayout.h"
#include "app/WinMain.h"
#include "config/Skin.h"
#include "device/device.h"
#include "device_fixture.h"
#include "ui/composite/PictureBox.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

namespace {

const char kSkinDir[] = JP_ASSETS_DIR "/Skin";

class DefaultSkinTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    wce::SetScreenSize(480, 640);
    wce::SetScreenDpi(192, 192);
    folder_ = wce::PosixPathToDevice(kSkinDir) + L"\\";
    description_ = folder_ + L"Skin.txt";
  }
  void TearDown() override {
    ResetAppState();
    DeviceTest::TearDown();
  }

  // The skin loaded as the program loads it, and the screen built on it.
  void LoadAndBuild() {
    appState.skin = std::make_unique<Skin>();
    ASSERT_TRUE(appState.skin->Load(folder_.c_str(), description_.c_str()));
    ASSERT_EQ(BuildScreen(), 1);
  }

  static SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == NULL || GetObjectW(bitmap, sizeof(info), &info) != static_cast<int>(sizeof(info))) return {0, 0};
    return {info.bmWidth, info.bmHeight};
  }

  std::wstring folder_;
  std::wstring description_;
};

SIZE ControlSize(const TouchControl* control) {
  RECT rect{};
  if (control != nullptr) control->GetRect(&rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Where each picture is shown: its control's size (stretched, or centred in
// the control); the list's pictures fill a row's width, the separator one
// pixel high and the selection one row high.
struct Shown {
  SkinImage image;
  const char* name;
  SIZE (*size)();
};

#define ROW(image, size) {image, #image, size}

#define CONTROL(expr) [] { return ControlSize(appState.expr); }

SIZE SeparatorSize() { return {ControlSize(appState.soundList).cx, 1}; }
SIZE SelectionSize() {
  return {ControlSize(appState.soundList).cx, appState.soundList ? appState.soundList->GetItemHeight() : 0};
}

const Shown kShown[] = {
    ROW(Pic_TopBar_App, CONTROL(topBarPicture)),
    ROW(Btn_TopBar_Close_Up, CONTROL(closeButton)),
    ROW(Btn_TopBar_Close_Dn, CONTROL(closeButton)),
    ROW(Btn_TopBar_About_Up, CONTROL(aboutButton)),
    ROW(Btn_TopBar_About_Dn, CONTROL(aboutButton)),
    ROW(Chk_BottomBar_Home_Up, CONTROL(homeTab)),
    ROW(Chk_BottomBar_Home_Dn, CONTROL(homeTab)),
    ROW(Chk_BottomBar_Sounds_Up, CONTROL(soundsTab)),
    ROW(Chk_BottomBar_Sounds_Dn, CONTROL(soundsTab)),
    ROW(Chk_BottomBar_Settings_Up, CONTROL(settingsTab)),
    ROW(Chk_BottomBar_Settings_Dn, CONTROL(settingsTab)),
    ROW(Pic_SlotGrid_L1C1, CONTROL(gridCorner[0])),
    ROW(Pic_SlotGrid_L1C3, CONTROL(gridCorner[1])),
    ROW(Pic_SlotGrid_L3C1, CONTROL(gridCorner[2])),
    ROW(Pic_SlotGrid_L3C3, CONTROL(gridCorner[3])),
    ROW(Btn_SlotGrid_L1C2_Up, CONTROL(gridButton[0])),
    ROW(Btn_SlotGrid_L1C2_Dn, CONTROL(gridButton[0])),
    ROW(Btn_SlotGrid_L2C3_Up, CONTROL(gridButton[1])),
    ROW(Btn_SlotGrid_L2C3_Dn, CONTROL(gridButton[1])),
    ROW(Btn_SlotGrid_L3C2_Up, CONTROL(gridButton[2])),
    ROW(Btn_SlotGrid_L3C2_Dn, CONTROL(gridButton[2])),
    ROW(Btn_SlotGrid_L2C1_Up, CONTROL(gridButton[3])),
    ROW(Btn_SlotGrid_L2C1_Dn, CONTROL(gridButton[3])),
    ROW(Btn_SlotGrid_L2C2_Up, CONTROL(gridButton[4])),
    ROW(Btn_SlotGrid_L2C2_Dn, CONTROL(gridButton[4])),
    ROW(Pic_OpenSoundsType, CONTROL(soundsPagePicture)),
    ROW(BtnEx_OpenSound_Up, CONTROL(slotButton[0])),
    ROW(BtnEx_OpenSound_Dn, CONTROL(slotButton[4])),
    ROW(Btn_PlaySound_Up, CONTROL(playButton[0])),
    ROW(Btn_PlaySound_Dn, CONTROL(playButton[4])),
    ROW(Cmb_General_Up, CONTROL(sensitivitySelector[0])),
    ROW(Cmb_General_Dn_L, CONTROL(sensitivitySelector[1])),
    ROW(Cmb_General_Dn_R, CONTROL(sensitivitySelector[2])),
    ROW(Chk_General_Up, CONTROL(xButtonCheck)),
    ROW(Chk_General_Dn, CONTROL(vibrationsCheck)),
    ROW(Chk_General_2_Up, CONTROL(motionToggle)),
    ROW(Chk_General_2_Dn, CONTROL(pulseToggle)),
    // No control of the screens shows the general key: it is drawn as the
    // bar keys are, for skins and pages to come.
    ROW(Btn_General_Up, CONTROL(okButton)),
    ROW(Btn_General_Dn, CONTROL(okButton)),
    ROW(Btn_BottomBar_Up, CONTROL(backButton)),
    ROW(Btn_BottomBar_Dn, CONTROL(cancelButton)),
    ROW(Btn_BottomBar_Mask, CONTROL(okButton)),
    ROW(Pic_BottomBar, CONTROL(bottomBarPicture)),
    ROW(Slt_Separator, SeparatorSize),
    ROW(Slt_ItemSelected, SelectionSize),
};

TEST_F(DefaultSkinTest, EveryPictureLoadsAtTheSizeItsControlShowsIt) {
  static_assert(sizeof(kShown) / sizeof(kShown[0]) == SkinImageCount, "one row a picture");
  LoadAndBuild();
  for (int i = 0; i < SkinImageCount; ++i) {
    const Shown& shown = kShown[i];
    ASSERT_EQ(shown.image, i) << "rows in load order";
    SIZE expected = shown.size();
    ASSERT_GT(expected.cx, 0) << shown.name << ": no control";
    SIZE actual = SizeOf(appState.skin->Image(shown.image));
    EXPECT_NE(appState.skin->Image(shown.image), nullptr) << shown.name << ".png did not load";
    EXPECT_EQ(actual.cx, expected.cx) << shown.name;
    EXPECT_EQ(actual.cy, expected.cy) << shown.name;
  }
}

// "Name=value" lines of one [section], in file order; "; ..." is a comment.
std::vector<std::pair<std::string, std::string>> Section(const std::string& text, const std::string& name) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::istringstream lines(text);
  std::string line, current;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = line;
      continue;
    }
    size_t equals = line.find('=');
    if (current != "[" + name + "]" || equals == std::string::npos) continue;
    std::string value = line.substr(equals + 1);
    size_t comment = value.find(" ;");
    if (comment != std::string::npos) value.erase(comment);
    entries.emplace_back(line.substr(0, equals), value);
  }
  return entries;
}

TEST_F(DefaultSkinTest, DescriptionListsThePicturesAndADrawableTypeface) {
  std::ifstream file(std::string(kSkinDir) + "/Skin.txt", std::ios::binary);
  ASSERT_TRUE(file) << "Skin.txt missing";
  std::stringstream text;
  text << file.rdbuf();

  Skin skin;
  ASSERT_TRUE(skin.Load(folder_.c_str(), description_.c_str()));
  auto pictures = Section(text.str(), "Pictures");
  ASSERT_EQ(pictures.size(), static_cast<size_t>(SkinImageCount));
  for (int i = 0; i < SkinImageCount; ++i) {
    SIZE size = SizeOf(skin.Image(static_cast<SkinImage>(i)));
    char expected[32];
    std::snprintf(expected, sizeof expected, "%dx%d", static_cast<int>(size.cx), static_cast<int>(size.cy));
    EXPECT_EQ(pictures[i].second, expected) << pictures[i].first;
  }

  // The face the skin's fonts ask for, drawn at each font's cell height.
  auto fonts = Section(text.str(), "Fonts");
  ASSERT_FALSE(fonts.empty());
  EXPECT_EQ(fonts[0].first, "Face");
  LOGFONTW asked{};
  ASSERT_NE(GetObjectW(skin.Font(Font14), sizeof(asked), &asked), 0);
  std::wstring face(asked.lfFaceName);
  EXPECT_EQ(fonts[0].second, std::string(face.begin(), face.end()));

  HDC screen = GetDC(NULL);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 200, 60);
  ReleaseDC(NULL, screen);
  HGDIOBJ previousBitmap = SelectObject(dc, canvas);
  const int kCellHeight[kSkinFontCount] = {28, 32, 36, 28, 32, 36};
  for (int i = 0; i < kSkinFontCount; ++i) {
    RECT all = {0, 0, 200, 60};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ previousFont = SelectObject(dc, skin.Font(static_cast<SkinFont>(Font14 + i)));
    TEXTMETRICW metrics{};
    EXPECT_TRUE(GetTextMetricsW(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, kCellHeight[i]) << "font " << i;
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, L"Sounds", -1, &all, DT_SINGLELINE);
    int inked = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x) inked += GetPixel(dc, x, y) != 0 ? 1 : 0;
    EXPECT_GT(inked, 100) << "font " << i << " drew nothing";
    SelectObject(dc, previousFont);
  }
  SelectObject(dc, previousBitmap);
  DeleteObject(canvas);
  DeleteDC(dc);
}

}  // namespace
