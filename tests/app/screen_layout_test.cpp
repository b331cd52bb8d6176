// The built screen: where the controls sit at 192 dpi, how the tree hangs,
// how a taller screen moves the pages, and two things the start-up must get
// right for the layout to hold: the sound bank sorted by pack and back
// buffers the size of the whole screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/PageTransition.h"
#include "program_fixture.h"
#include "ui/core/DisplayScale.h"
#include "ui/composite/PictureBox.h"
#include "ui/composite/ScrollList.h"
#include "ui/core/CheckBox.h"
#include "ui/core/ImageButton.h"
#include "ui/core/TextLabel.h"
#include "ui/core/TwoLineButton.h"
#include "ui/core/ValueSelector.h"

namespace apptest {
namespace {

class ScreenLayoutTest : public ProgramTest {
 protected:
  void StartAndLoad() {
    StartProgram();
    wce::ClockAdvanceTo(2000);
    ASSERT_FALSE(IsLoading());
  }
};

struct Placed {
  const char* name;
  const TouchControl* (*control)();
  RECT rect;  // left, top, right, bottom
};

::testing::AssertionResult IsAt(const Placed& placed) {
  const TouchControl* control = placed.control();
  if (control == nullptr) return ::testing::AssertionFailure() << placed.name << " missing";
  RECT rect;
  control->GetRect(&rect);
  if (EqualRect(&rect, &placed.rect)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << placed.name << " at (" << rect.left << ", " << rect.top << ", "
                                       << rect.right << ", " << rect.bottom << ")";
}

#define FIELD(expr) [] { return static_cast<const TouchControl*>(appState.expr); }

// 480 x 640 at 192 dpi: every 96-dpi length doubles.
TEST_F(ScreenLayoutTest, ControlsSitWhereTheDesignPutsThemAt192Dpi) {
  StartAndLoad();
  const Placed kPlaced[] = {
      {"top bar", FIELD(topBarPicture), {0, 0, 480, 52}},
      {"close", FIELD(closeButton), {428, 0, 480, 52}},
      {"about", FIELD(aboutButton), {376, 0, 428, 52}},
      {"tab area", FIELD(tabPanel), {0, 52, 480, 640}},
      {"bottom bar", FIELD(bottomBarPicture), {0, 532, 480, 640}},
      {"Home tab", FIELD(homeTab), {0, 532, 160, 640}},
      {"Sounds tab", FIELD(soundsTab), {160, 532, 320, 640}},
      {"Settings tab", FIELD(settingsTab), {320, 532, 480, 640}},
      {"page", FIELD(homePage), {0, 52, 480, 532}},
      {"slot 1 top", FIELD(gridButton[0]), {160, 52, 320, 212}},
      {"slot 2 right", FIELD(gridButton[1]), {320, 212, 480, 372}},
      {"slot 3 bottom", FIELD(gridButton[2]), {160, 372, 320, 532}},
      {"slot 4 left", FIELD(gridButton[3]), {0, 212, 160, 372}},
      {"slot 5 centre", FIELD(gridButton[4]), {160, 212, 320, 372}},
      {"corner bottom right", FIELD(gridCorner[3]), {320, 372, 480, 532}},
      {"motion check box", FIELD(motionToggle), {364, 416, 436, 488}},
      {"pulse check box", FIELD(pulseToggle), {44, 416, 116, 488}},
      {"Sounds row 1", FIELD(slotButton[0]), {70, 52, 395, 148}},
      {"Sounds row 5", FIELD(slotButton[4]), {70, 436, 395, 532}},
      {"play 5", FIELD(playButton[4]), {395, 436, 480, 532}},
      {"Z selector", FIELD(sensitivitySelector[2]), {260, 242, 460, 302}},
      {"X-button", FIELD(xButtonCheck), {260, 312, 460, 372}},
      {"animations", FIELD(animationsCheck), {260, 380, 460, 440}},
      {"vibrations", FIELD(vibrationsCheck), {260, 448, 460, 508}},
      {"donate", FIELD(donateButton), {149, 402, 333, 454}},
      {"notice", FIELD(noticeLabel), {0, 492, 480, 532}},
      {"back", FIELD(backButton), {140, 556, 340, 616}},
      {"list", FIELD(soundList), {0, 52, 480, 532}},
      {"OK", FIELD(okButton), {250, 556, 450, 616}},
      {"cancel", FIELD(cancelButton), {30, 556, 230, 616}},
  };
  for (const Placed& placed : kPlaced) EXPECT_TRUE(IsAt(placed));
  EXPECT_EQ(CloseProgram(), 0);
}

std::vector<int> ChildIds(const ControlPanel* panel) {
  std::vector<int> ids;
  for (int i = 0; i < panel->ChildCount(); ++i) ids.push_back(panel->ChildAt(i)->GetId());
  return ids;
}

// Painting goes back to front in this order and the pen follows it, so the
// check boxes lie over the grid's corners.
TEST_F(ScreenLayoutTest, TheTreeHangsInPaintingOrder) {
  StartAndLoad();
  const struct {
    const ControlPanel* panel;
    std::vector<int> ids;
  } kPanels[] = {
      {appState.rootPanel, {5}},
      {appState.mainPanel, {16, 17, 18, 22, 19, 20, 21}},
      {appState.tabPanel, {32, 33, 34, 35, 36, 37}},
      {appState.homePage, {80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 256}},
      {appState.soundsPage, {96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 112}},
      {appState.settingsPage, {128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 144, 145, 146}},
      {appState.aboutPage, {48, 49, 50, 51, 52, 53, 54, 55, 56}},
      {appState.browserPage, {64, 65, 66}},
  };
  size_t controls = 0;
  for (const auto& panel : kPanels) {
    ASSERT_NE(panel.panel, nullptr);
    EXPECT_EQ(ChildIds(panel.panel), panel.ids) << panel.panel->GetId();
    controls += panel.ids.size();
  }
  EXPECT_EQ(controls + 1, 62u);  // and the root
  EXPECT_EQ(CloseProgram(), 0);
}

// The unscaled pages keep their design height and sit in the middle.
TEST_F(ScreenLayoutTest, ATallerScreenMovesTheGridAndTheRowsDownByHalfTheExtra) {
  wce::SetScreenSize(480, 800);
  StartAndLoad();
  const Placed kPlaced[] = {
      {"bottom bar", FIELD(bottomBarPicture), {0, 692, 480, 800}},
      {"slot 1 top", FIELD(gridButton[0]), {160, 132, 320, 292}},
      {"Sounds row 1", FIELD(slotButton[0]), {70, 132, 395, 228}},
      {"back", FIELD(backButton), {140, 716, 340, 776}},
  };
  for (const Placed& placed : kPlaced) EXPECT_TRUE(IsAt(placed));
  EXPECT_EQ(CloseProgram(), 0);
  wce::SetScreenSize(480, 640);
}

// At 128 dpi a 96-dpi length grows by a third and rounds: each tab's left
// edge is its own design place scaled (213 for 160), not twice the first
// tab's width (214).
TEST_F(ScreenLayoutTest, TheTabsKeepTheirDesignPlacesAt128Dpi) {
  wce::SetScreenDpi(128, 128);
  ResetScreenDpi();
  StartAndLoad();
  const Placed kPlaced[] = {
      {"Home tab", FIELD(homeTab), {0, 568, 107, 640}},
      {"Sounds tab", FIELD(soundsTab), {107, 568, 214, 640}},
      {"Settings tab", FIELD(settingsTab), {213, 568, 320, 640}},
  };
  for (const Placed& placed : kPlaced) EXPECT_TRUE(IsAt(placed));
  EXPECT_EQ(CloseProgram(), 0);
  wce::SetScreenDpi(192, 192);
}

#undef FIELD

void CollectVibrating(const ControlPanel* panel, std::vector<int>* ids) {
  if (panel->GetVibrateOnPress()) ids->push_back(panel->GetId());
  for (int i = 0; i < panel->ChildCount(); ++i) {
    const TouchControl* child = panel->ChildAt(i);
    const ControlPanel* inner = dynamic_cast<const ControlPanel*>(child);
    if (inner != nullptr) {
      CollectVibrating(inner, ids);
    } else if (child->GetVibrateOnPress()) {
      ids->push_back(child->GetId());
    }
  }
}

// With Touch Vibrations on, exactly the controls that take the pen vibrate
// (and the root, which pulses for them): no label, picture or page.
TEST_F(ScreenLayoutTest, TouchVibrationReachesExactlyTheControlsThatTakeThePen) {
  SetDwordSetting(L"VibrationsOn", 1);
  StartAndLoad();
  std::vector<int> vibrating;
  CollectVibrating(appState.rootPanel, &vibrating);
  std::sort(vibrating.begin(), vibrating.end());
  const std::vector<int> kExpected = {1,   17,  18,  32,  33,  34,  54,  56,  64,  65,  66,  80,
                                      81,  82,  83,  84,  89,  97,  98,  99,  100, 101, 102, 103,
                                      104, 105, 112, 132, 133, 134, 136, 144, 146, 256};
  EXPECT_EQ(vibrating, kExpected);
  EXPECT_EQ(CloseProgram(), 0);
}

// Packs are scanned in directory order, which is no order at all; the bank
// is sorted by pack, so a name found in several packs is the first pack's.
TEST_F(ScreenLayoutTest, ASoundNamedInSeveralPacksComesFromTheFirstPackByName) {
  const char* const kPacks[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel"};
  int16_t value = 1000;
  for (const char* pack : kPacks) {
    WriteSound(pack, "Bell.wav", Constant(FrameAt(50), value));
    value = static_cast<int16_t>(value + 1000);
  }
  SetSetting(L"SoundSlot1Name", L"Bell.wav");
  StartAndLoad();
  const SoundEntry* entry = appState.soundSlots->EntryOf(1);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(std::wstring(entry->packName), L"Alpha");
  // The browser lists the packs in the same order.
  ASSERT_EQ(appState.soundList->ItemCount(), 8);
  ListItem item;
  for (int row = 0; row < 8; ++row) {
    ASSERT_TRUE(appState.soundList->GetItem(row, &item));
    EXPECT_EQ(std::wstring(item.firstLine), std::wstring(kPacks[row], kPacks[row] + strlen(kPacks[row])));
  }
  EXPECT_EQ(CloseProgram(), 0);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP header = {};
  GetObjectW(bitmap, sizeof(header), &header);
  return SIZE{header.bmWidth, header.bmHeight};
}

// A device that gives a new window the work area makes the buffers while
// the task bar shows; they must still cover the whole screen, for the frames
// once the window is full screen. Here they are made again with the task bar
// shown.
TEST_F(ScreenLayoutTest, BackBuffersCoverTheWholeScreenNotTheClientArea) {
  StartAndLoad();
  wce::InjectActivate(true);
  wce::ClockAdvanceTo(2050);
  wce::InjectActivate(false);
  wce::ClockAdvanceTo(2100);
  RECT client;
  ASSERT_TRUE(GetClientRect(appState.mainWindow, &client));
  ASSERT_LT(client.bottom, 640);
  CreateOffscreenBuffers(appState.mainWindow);
  for (HBITMAP bitmap : {appState.backBitmap, appState.fromBitmap, appState.toBitmap}) {
    SIZE size = BitmapSize(bitmap);
    EXPECT_EQ(size.cx, 480);
    EXPECT_EQ(size.cy, 640);
  }
  EXPECT_EQ(CloseProgram(), 0);
}

}  // namespace
}  // namespace apptest
