// What the program finds next to it may be broken or strange; it stays whole:
// pictures missing, empty or corrupt, thousands of sounds, names outside ASCII
// or near the length limit, packs without pictures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "app_scenario.h"

namespace jptest {
namespace {

std::string TapPoint(int x, int y) { return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n"; }
std::string PressGrid(int slot) {
  auto [x, y] = GridCell(slot);
  return TapPoint(x + 80, y + 20);
}

class BadInput : public AppScenario {};

TEST_F(BadInput, ASkinOfMissingEmptyAndCorruptPicturesLeavesEveryControlWorking) {
  PrepareDefault();
  // Every picture broken, a third each way.
  const std::vector<SkinPicture>& pictures = TestSkinPictures();
  for (size_t i = 0; i < pictures.size(); ++i) {
    std::string path = AppDir() + "/Skin/" + pictures[i].name + ".png";
    if (i % 3 == 0) {
      ASSERT_EQ(unlink(path.c_str()), 0);
    } else if (i % 3 == 1) {
      ASSERT_TRUE(WriteText(path, ""));
    } else {
      std::vector<uint8_t> bytes = ReadFile(path);
      bytes.resize(bytes.size() / 2);  // a header, then the data cut off
      for (size_t b = 40; b < bytes.size(); b += 7) bytes[b] ^= 0x5A;
      ASSERT_TRUE(WriteFile(path, bytes));
    }
  }
  // Blind, every page and switch still answers: tabs, About and back, the
  // browser with a row and OK, the settings switches, and the close button.
  RunResult result = Run("wait 2500\n" + PressGrid(1) + "wait 200\n" + Tap(at::kSoundsTab) + "wait 400\n" +
                         TapPoint(200, SoundsRowTop(4) + 48) + "wait 400\n" + TapPoint(240, ListRowTop(0) + 40) +
                         "wait 200\n" + Tap(at::kOk) + "wait 400\n" + Tap(at::kSettingsTab) + "wait 400\n" +
                         Tap(at::kAbout) + "wait 400\n" + Tap(at::kBack) + "wait 400\n" + TapPoint(430, 132) +
                         TapPoint(360, 410) + "wait 100\n" + Tap(at::kClose) + "wait 500\n");
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<int16_t> recording = Recording();
  EXPECT_EQ(ValuesBetween(recording, 2500, 2700), std::vector<int16_t>{1000}) << "grid button of slot 1";
  EXPECT_EQ(FirstEventTime(Trace(), "exit 0"), 5400) << "the close button";
  std::map<std::string, std::string> saved = SavedSettings();
  EXPECT_EQ(saved["SensitivityX"], "dword:00000006");
  EXPECT_EQ(saved["AnimationsOn"], "dword:00000000");
  EXPECT_EQ(saved["SoundSlot4Folder"], "\"Pack1\"") << "the browser's first row went to slot 4";
  EXPECT_EQ(saved["SoundSlot4Name"].find("\"Slot"), 0u);
}

TEST_F(BadInput, ThousandsOfSoundsLoadAndGlide) {
  TestPack many{"Many", {}, true};
  for (int i = 0; i < 3000; ++i) many.sounds.push_back({"Sound" + std::to_string(i) + ".wav", 1234, 5});
  std::vector<TestPack> packs = FiveSlotPacks();
  packs.push_back(many);
  TestSettings settings;
  Prepare(packs, settings);
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(WriteText(AppDir() + "/Sounds/Many/note" + std::to_string(i) + ".txt", "x"));

  RunResult result = Run("wait 2500\n" + ShotLine("home") + Tap(at::kSoundsTab) + "wait 400\n" +
                         TapPoint(200, SoundsRowTop(1) + 48) + "wait 400\n" + ShotLine("top") +
                         "drag 240 500 240 100 100\nwait 3000\n" + ShotLine("glided") +
                         // the first tap only stops the glide, the second selects
                         TapPoint(240, ListRowTop(2) + 40) + "wait 100\n" + TapPoint(240, ListRowTop(2) + 40) +
                         "wait 200\n" + Tap(at::kOk) + "wait 400\nclose\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(ShowsPicture(Shot("home"), 5, 5, "Pic_TopBar_App")) << "loading ended in time";
  EXPECT_NE(Shot("top").pixels, Shot("glided").pixels) << "the list did not move";
  std::map<std::string, std::string> saved = SavedSettings();
  EXPECT_EQ(saved["SoundSlot1Folder"], "\"Many\"") << "a row far down went to slot 1";
  EXPECT_EQ(saved["SoundSlot1Name"].find("\"Sound"), 0u) << saved["SoundSlot1Name"];
}

TEST_F(BadInput, NamesOutsideAsciiAndNearTheLengthLimitAndPacksWithoutPictures) {
  std::string longName = std::string(200, 'L') + ".wav";    // fits the 259 characters of a path
  std::string tooLong = std::string(250, 'M') + ".wav";     // its path does not
  std::vector<TestPack> packs = {{"Ünï 音", {{"Ωmega ✓.wav", 1111}}},
                                 {"Long", {{longName, 2222}, {tooLong, 3333}}},
                                 {"Bare", {{"Plain.wav", 4444}}, false}};
  TestSettings settings;
  settings.slotFolder[0] = "Ünï 音";
  settings.slotName[0] = "Ωmega ✓.wav";
  settings.slotFolder[1] = settings.slotFolder[2] = "Long";
  settings.slotName[1] = longName;
  settings.slotName[2] = tooLong;
  settings.slotFolder[3] = "Bare";
  settings.slotName[3] = "Plain.wav";
  Prepare(packs, settings);
  // A pack whose pictures cannot be read at all.
  ASSERT_TRUE(WriteTestPack(AppDir() + "/Sounds", {"Broken", {{"Cracked.wav", 5555}}, false}));
  ASSERT_TRUE(WriteText(AppDir() + "/Sounds/Broken/BrokenB.png", ""));
  ASSERT_TRUE(WriteText(AppDir() + "/Sounds/Broken/BrokenS.png", "\x89PNG\r\n\x1a\nnot really"));

  RunResult result = Run("wait 2500\n" + ShotLine("home") + PressGrid(1) + "wait 200\n" + PressGrid(2) +
                         "wait 200\n" + PressGrid(3) + "wait 200\n" + PressGrid(4) + "wait 200\n" +
                         Tap(at::kSoundsTab) + "wait 400\n" + TapPoint(200, SoundsRowTop(5) + 48) + "wait 400\n" +
                         ShotLine("browser") + "close\n");
  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<int16_t> recording = Recording();
  EXPECT_EQ(ValuesBetween(recording, 2500, 2700), std::vector<int16_t>{1111});
  EXPECT_EQ(ValuesBetween(recording, 2700, 2900), std::vector<int16_t>{2222});
  // The name too long for a path plays nothing, or plays; either way nothing breaks.
  std::vector<int16_t> third = ValuesBetween(recording, 2900, 3100);
  EXPECT_TRUE(third.empty() || third == std::vector<int16_t>{3333});
  EXPECT_EQ(ValuesBetween(recording, 3100, 3300), std::vector<int16_t>{4444});
  // Without pictures the grid button shows its own face where the icon would be.
  auto [x, y] = GridCell(4);
  EXPECT_TRUE(ShowsPicture(Shot("home"), x + 80, y + 80, "Btn_SlotGrid_L2C1_Up"));
  auto [x1, y1] = GridCell(1);
  EXPECT_TRUE(ShowsColour(Shot("home"), x1 + 80, y1 + 80, PackBigColour("Ünï 音")));

  std::map<std::string, std::string> saved = SavedSettings();
  EXPECT_EQ(saved["SoundSlot1Folder"], "\"Ünï 音\"");
  EXPECT_EQ(saved["SoundSlot1Name"], "\"Ωmega ✓.wav\"");
  EXPECT_EQ(saved["SoundSlot2Name"], "\"" + longName + "\"");
}

}  // namespace
}  // namespace jptest
