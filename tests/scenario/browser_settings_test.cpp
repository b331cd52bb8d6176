// The sound browser from a slot (preview, OK, Cancel) and the Settings page,
// whose values are saved on close and come back on the next start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_scenario.h"

namespace jptest {
namespace {

// Two packs that sort before the slot packs, one file each, so the list's
// first rows are known: row 0 Alpha/Bell.wav, row 1 Beta/Drum.wav.
std::vector<TestPack> BrowserPacks() {
  std::vector<TestPack> packs = {{"Alpha", {{"Bell.wav", 6000}}}, {"Beta", {{"Drum.wav", 7000}}}};
  for (const TestPack& p : FiveSlotPacks()) packs.push_back(p);
  return packs;
}

std::string TapPoint(int x, int y) { return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n"; }
std::string TapSlotRow(int slot) { return TapPoint(200, SoundsRowTop(slot) + 48); }
std::string TapListRow(int row) { return TapPoint(240, ListRowTop(row) + 40); }

class Browser : public AppScenario {
 protected:
  void SetUp() override {
    TestSettings settings;
    const char* folders[] = {"Pack1", "Pack2", "Pack3", "Pack1", "Pack2"};
    for (int n = 0; n < 5; ++n) {
      settings.slotFolder[n] = folders[n];
      settings.slotName[n] = "Slot" + std::to_string(n + 1) + ".wav";
    }
    Prepare(BrowserPacks(), settings);
  }
};

TEST_F(Browser, TwoRowsPreviewedThenOkGivesTheSlotTheSecond) {
  RunResult result = Run("wait 2500\n" + Tap(at::kSoundsTab) + "wait 400\n" +  // 2900
                         TapSlotRow(3) + "wait 400\n" +                         // 3300
                         TapListRow(0) + "wait 50\n" + TapListRow(1) + "wait 300\n" + ShotLine("browser") +
                         Tap(at::kOk) + "wait 400\n" + ShotLine("sounds") +  // 4050
                         Tap(at::kHomeTab) + "wait 400\n" + ShotLine("home") +
                         "down 240 452\nup 240 452\nwait 300\n");  // slot 3 on the grid, at 4450
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<int16_t> recording = Recording();
  EXPECT_EQ(ValuesBetween(recording, 3300, 3350), std::vector<int16_t>{6000}) << "first preview";
  EXPECT_EQ(ValuesBetween(recording, 3350, 3650), std::vector<int16_t>{7000}) << "the preview restarts";
  EXPECT_EQ(ValuesBetween(recording, 4450, 4750), std::vector<int16_t>{7000}) << "slot 3 plays its new sound";

  EXPECT_TRUE(ShowsPicture(Shot("browser"), 475, ListRowTop(1) + 40, "Slt_ItemSelected"));
  EXPECT_TRUE(ShowsColour(Shot("sounds"), 106, SoundsRowTop(3) + 48, PackSmallColour("Beta")));
  auto [x, y] = GridCell(3);
  EXPECT_TRUE(ShowsColour(Shot("home"), x + 80, y + 80, PackBigColour("Beta")));

  std::map<std::string, std::string> saved = SavedSettings();
  EXPECT_EQ(saved["SoundSlot3Name"], "\"Drum.wav\"");
  EXPECT_EQ(saved["SoundSlot3Folder"], "\"Beta\"");
  EXPECT_EQ(saved["SoundSlot2Name"], "\"Slot2.wav\"");
}

TEST_F(Browser, CancelChangesNothingAndOkWithoutASelectionKeepsTheBrowserOpen) {
  RunResult result = Run("wait 2500\n" + Tap(at::kSoundsTab) + "wait 400\n" + TapSlotRow(2) + "wait 400\n" +
                         Tap(at::kOk) + "wait 400\n" + ShotLine("still-browser") +  // nothing selected yet
                         TapListRow(0) + "wait 200\n" + Tap(at::kCancel) + "wait 400\n" + ShotLine("sounds") +
                         TapSlotRow(4) + "wait 400\n" + ShotLine("reopened"));
  ASSERT_EQ(result.status, 0) << result.err;
  PngImage still = Shot("still-browser");
  EXPECT_TRUE(ShowsPicture(still, 252, 558, "Btn_BottomBar_Up")) << "OK without a selection closed the browser";
  EXPECT_TRUE(ShowsPicture(Shot("sounds"), 75, SoundsRowTop(2) + 4, "BtnEx_OpenSound_Up"));
  EXPECT_TRUE(ShowsColour(Shot("sounds"), 106, SoundsRowTop(2) + 48, PackSmallColour("Pack2")));
  // The browser keeps the row it had.
  EXPECT_TRUE(ShowsPicture(Shot("reopened"), 475, ListRowTop(0) + 40, "Slt_ItemSelected"));
  std::map<std::string, std::string> saved = SavedSettings();
  EXPECT_EQ(saved["SoundSlot2Name"], "\"Slot2.wav\"");
  EXPECT_EQ(saved["SoundSlot4Name"], "\"Slot4.wav\"");
}

class SettingsPage : public AppScenario {};

TEST_F(SettingsPage, ChangedValuesAreSavedOnCloseAndComeBackOnTheNextStart) {
  PrepareDefault();
  RunResult first = Run("wait 2500\n" + Tap(at::kPulse) + "wait 100\n" + Tap(at::kSettingsTab) + "wait 400\n" +
                          TapPoint(430, 132) +  // X one up
                          TapPoint(290, 202) +  // Y one down
                          TapPoint(290, 272) + TapPoint(290, 272) +  // Z two down
                          TapPoint(360, 342) + TapPoint(360, 410) + TapPoint(360, 478) + "wait 100\nclose\n");
  ASSERT_EQ(first.status, 0) << first.err;
  std::map<std::string, std::string> changed = {
      {"SensitivityX", "dword:00000006"},  {"SensitivityY", "dword:00000004"}, {"SensitivityZ", "dword:00000003"},
      {"XButtonClose", "dword:00000000"},  {"AnimationsOn", "dword:00000000"}, {"VibrationsOn", "dword:00000001"},
      {"PulseVibrationsOn", "dword:00000000"}, {"SoundSlot5Name", "\"Slot5.wav\""}};
  std::map<std::string, std::string> saved = SavedSettings();
  for (const auto& [name, value] : changed) EXPECT_EQ(saved[name], value) << name;

  // Read back: the switches show it, touch vibrations are on, and closing saves the same again.
  // Each arrow of the X selector held shows its own picture (after the touch pulse); lifted off
  // the arrow, nothing steps.
  RunResult second = Run("wait 2500\n" + ShotLine("home") + Tap(at::kSettingsTab) + "wait 100\n" +
                           ShotLine("settings") + "down 290 132\nwait 50\n" + ShotLine("left") +
                           "move 360 132\nup 360 132\ndown 430 132\nwait 50\n" + ShotLine("right") +
                           "move 360 132\nup 360 132\nclose\n");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_TRUE(ShowsPicture(Shot("home"), 46, 418, "Chk_General_2_Up")) << "pulse";
  PngImage settings = Shot("settings");
  EXPECT_TRUE(ShowsPicture(settings, 262, 314, "Chk_General_Up")) << "X-Button (Close)";
  EXPECT_TRUE(ShowsPicture(settings, 262, 382, "Chk_General_Up")) << "Animations";
  EXPECT_TRUE(ShowsPicture(settings, 262, 450, "Chk_General_Dn")) << "Touch Vibrations";
  EXPECT_TRUE(ShowsPicture(Shot("left"), 262, 104, "Cmb_General_Dn_L"));
  EXPECT_TRUE(ShowsPicture(Shot("right"), 262, 104, "Cmb_General_Dn_R"));
  EXPECT_EQ(FirstEventTime(Trace(), "vibrate on"), 2500) << "the tab's touch pulse";
  EXPECT_EQ(SavedSettings(), saved);
}

}  // namespace
}  // namespace jptest
