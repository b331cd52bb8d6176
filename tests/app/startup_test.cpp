// Start-up and shut-down of the whole program on the virtual clock: the
// loader's steps in order behind a splash of exactly 2000 ms, missing
// objects skipped, one instance, and the settings saved on close.
#include <gtest/gtest.h>

#include <windows.h>
#include <regext.h>

#include <memory>
#include <string>

#include "app/AppState.h"
#include "app/WinMain.h"
#include "program_fixture.h"
#include "device/device.h"

namespace apptest {
namespace {

class StartupTest : public ProgramTest {
 protected:
  void SetUp() override {
    config_.sensor = std::make_shared<wce::FixedSensorSource>(0, 0, -1000);
    ProgramTest::SetUp();
  }
};

std::wstring TextSetting(const wchar_t* name) {
  WCHAR text[MAX_PATH] = L"?";
  EXPECT_EQ(RegistryGetString(HKEY_LOCAL_MACHINE, kSettingsKey, name, text, MAX_PATH), S_OK) << name;
  return text;
}

DWORD DwordSetting(const wchar_t* name) {
  DWORD value = 0xDEAD;
  EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kSettingsKey, name, &value), S_OK) << name;
  return value;
}

TEST_F(StartupTest, LoaderBuildsStepByStepAndTheSplashLastsExactly2000Ms) {
  WriteSound("Zither", "Pluck.wav", Constant(480, 100));
  WriteSound("Bells", "Ding.wav", Constant(480, 200));
  SetSetting(L"SoundSlot3Name", L"Pluck.wav");
  SetDwordSetting(L"SensitivityX", 10);
  SetDwordSetting(L"SensitivityZ", 1);
  StartProgram();

  // Each step works at the start of its 10 ms: sensor at 10, settings at 20,
  // sound bank at 40, slots at 50, detectors at 60, their levels at 90.
  wce::ClockAdvanceTo(5);
  EXPECT_TRUE(IsLoading());
  EXPECT_FALSE(appState.tiltSensor);
  wce::ClockAdvanceTo(10);
  EXPECT_TRUE(appState.tiltSensor);
  EXPECT_FALSE(appState.settings);
  wce::ClockAdvanceTo(20);
  ASSERT_TRUE(appState.settings);
  EXPECT_EQ(appState.settings->sensitivityX, 10);
  EXPECT_FALSE(appState.soundBank);
  wce::ClockAdvanceTo(40);
  ASSERT_TRUE(appState.soundBank);
  ASSERT_EQ(appState.soundBank->Count(), 2);
  EXPECT_STREQ(appState.soundBank->At(0)->packName, L"Bells");  // sorted by pack
  EXPECT_FALSE(appState.soundSlots);
  wce::ClockAdvanceTo(50);
  ASSERT_TRUE(appState.soundSlots);
  ASSERT_NE(appState.soundSlots->EntryOf(3), nullptr);
  EXPECT_STREQ(appState.soundSlots->EntryOf(3)->fileName, L"Pluck.wav");
  EXPECT_EQ(appState.soundSlots->EntryOf(1), nullptr);
  EXPECT_FALSE(appState.motionX);
  wce::ClockAdvanceTo(60);
  ASSERT_TRUE(appState.motionX && appState.motionY && appState.motionZ);
  EXPECT_EQ(appState.motionX->PeakThreshold(), 750);  // as constructed
  wce::ClockAdvanceTo(90);
  EXPECT_EQ(appState.motionX->StartThreshold(), 100);
  EXPECT_EQ(appState.motionX->PeakThreshold(), 200);  // sensitivity 10
  EXPECT_EQ(appState.motionY->PeakThreshold(), 700);  // the default 5
  EXPECT_EQ(appState.motionZ->PeakThreshold(), 1100);  // sensitivity 1
  EXPECT_EQ(appState.motionZ->ZGate(), -200);

  // The eleven steps take 110 ms; the splash stays up to 2000 ms all the same.
  wce::ClockAdvanceTo(1999);
  EXPECT_TRUE(IsLoading());
  wce::ClockAdvanceTo(2000);
  EXPECT_FALSE(IsLoading());
  EXPECT_EQ(CloseProgram(), 0);
}

TEST_F(StartupTest, NoSoundsFolderAndNoSensorLibraryStillStart) {
  wce::SetSensorSource(nullptr);  // the phone has no G-sensor library
  SetSetting(L"SoundSlot1Name", L"Kick.wav");
  StartProgram();
  wce::ClockAdvanceTo(2000);
  EXPECT_FALSE(IsLoading());
  ASSERT_TRUE(appState.soundBank);
  EXPECT_EQ(appState.soundBank->Count(), 0);
  ASSERT_TRUE(appState.soundSlots);
  for (int slot = 1; slot <= 5; ++slot) EXPECT_EQ(appState.soundSlots->EntryOf(slot), nullptr) << slot;
  // The sensor object exists without its library, and so do the detectors.
  EXPECT_TRUE(appState.tiltSensor);
  EXPECT_TRUE(appState.motionX && appState.motionY && appState.motionZ);
  // A motion with nothing in its slot plays nothing and harms nothing.
  PostMessageW(appState.mainWindow, WM_MOTION, 1, 0);
  wce::ClockAdvanceTo(2100);
  EXPECT_EQ(CloseProgram(), 0);
  // The slot that could not be filled shows no names, so it is saved empty.
  EXPECT_EQ(TextSetting(L"SoundSlot1Name"), L"");
}

TEST_F(StartupTest, ASecondStartRaisesTheFirstWindowAndEndsAtOnce) {
  StartProgram();
  wce::ClockAdvanceTo(2100);
  HWND first = appState.mainWindow;
  ASSERT_NE(first, nullptr);
  wce::InjectMinimize(true);
  wce::ClockSettle();
  ASSERT_TRUE(IsIconic(first));

  static WCHAR commandLine[] = L"";
  EXPECT_EQ(WinMain(GetModuleHandleW(NULL), NULL, commandLine, SW_SHOW), 0);
  wce::ClockSettle();
  // The first window is back in front; no second one was made.
  EXPECT_FALSE(IsIconic(first));
  EXPECT_TRUE(Traced("window restored"));
  EXPECT_EQ(FindWindowW(L"JostlepadClass", L"Jostlepad"), first);
  EXPECT_EQ(appState.mainWindow, first);
  EXPECT_EQ(CloseProgram(), 0);
}

TEST_F(StartupTest, CloseSavesAllSeventeenValuesThenReleasesAndQuits) {
  WriteSound("Drums", "Kick.wav", Constant(480, 100));
  SetSetting(L"SoundSlot2Folder", L"Drums");
  SetSetting(L"SoundSlot2Name", L"Kick.wav");
  SetDwordSetting(L"SensitivityY", 8);
  SetDwordSetting(L"AnimationsOn", 0);
  StartProgram();
  wce::ClockAdvanceTo(2500);
  HDC back = appState.backDC;
  HBITMAP backBitmap = appState.backBitmap;
  ASSERT_NE(back, nullptr);
  ASSERT_NE(backBitmap, nullptr);

  EXPECT_EQ(CloseProgram(), 0);
  // What was read comes back unchanged; what was missing is saved with its default.
  EXPECT_EQ(TextSetting(L"SoundSlot2Folder"), L"Drums");
  EXPECT_EQ(TextSetting(L"SoundSlot2Name"), L"Kick.wav");
  const wchar_t* emptySlots[] = {L"SoundSlot1Folder", L"SoundSlot1Name", L"SoundSlot3Folder", L"SoundSlot3Name",
                                 L"SoundSlot4Folder", L"SoundSlot4Name", L"SoundSlot5Folder", L"SoundSlot5Name"};
  for (const wchar_t* name : emptySlots) EXPECT_EQ(TextSetting(name), L"") << name;
  EXPECT_EQ(DwordSetting(L"SensitivityX"), 5u);
  EXPECT_EQ(DwordSetting(L"SensitivityY"), 8u);
  EXPECT_EQ(DwordSetting(L"SensitivityZ"), 5u);
  EXPECT_EQ(DwordSetting(L"XButtonClose"), 1u);
  EXPECT_EQ(DwordSetting(L"AnimationsOn"), 0u);
  EXPECT_EQ(DwordSetting(L"VibrationsOn"), 0u);
  EXPECT_EQ(DwordSetting(L"PulseVibrationsOn"), 1u);

  // WM_DESTROY let go of the players, the bank, the slots and the buffers.
  EXPECT_FALSE(appState.previewPlayer);
  EXPECT_FALSE(appState.soundBank);
  EXPECT_FALSE(appState.soundSlots);
  EXPECT_EQ(appState.backDC, nullptr);
  EXPECT_EQ(GetObjectType(back), 0u);
  EXPECT_EQ(GetObjectType(backBitmap), 0u);
  EXPECT_FALSE(IsWindow(appState.mainWindow));
}

TEST_F(StartupTest, ClosingWhileLoadingSavesWhatWasLoadedAndStopsTheLoader) {
  SetDwordSetting(L"SensitivityZ", 3);
  StartProgram();
  wce::ClockAdvanceTo(25);  // settings loaded, sound bank not yet scanned
  ASSERT_TRUE(IsLoading());
  EXPECT_EQ(CloseProgram(), 0);
  EXPECT_EQ(DwordSetting(L"SensitivityZ"), 3u);
  EXPECT_EQ(DwordSetting(L"PulseVibrationsOn"), 1u);
  // The loader built nothing after the window was gone, and did not sit out the splash.
  EXPECT_FALSE(appState.soundSlots);
  EXPECT_FALSE(appState.motionX);
  EXPECT_LT(wce::ClockNowMs(), 100u);
}

// Closed after any loader step, the program saves what the hive held: the
// controls exist before they are filled, and an empty one must not be saved.
class CloseAfterEachStepTest : public StartupTest, public ::testing::WithParamInterface<uint64_t> {};

TEST_P(CloseAfterEachStepTest, SavesTheSettingsAsTheyWereStored) {
  const wchar_t* const kFiles[] = {L"One.wav", L"Two.wav", L"Three.wav", L"Four.wav", L"Five.wav"};
  const wchar_t* const kNames[] = {L"SoundSlot1Name", L"SoundSlot2Name", L"SoundSlot3Name", L"SoundSlot4Name",
                                   L"SoundSlot5Name"};
  const wchar_t* const kFolders[] = {L"SoundSlot1Folder", L"SoundSlot2Folder", L"SoundSlot3Folder",
                                     L"SoundSlot4Folder", L"SoundSlot5Folder"};
  const char* const kFileNames[] = {"One.wav", "Two.wav", "Three.wav", "Four.wav", "Five.wav"};
  for (int slot = 0; slot < 5; ++slot) {
    WriteSound("Pad", kFileNames[slot], Constant(480, 100));
    SetSetting(kFolders[slot], L"Pad");
    SetSetting(kNames[slot], kFiles[slot]);
  }
  // Every value differs from what an empty control gives.
  const struct {
    const wchar_t* name;
    DWORD value;
  } kStored[] = {{L"SensitivityX", 8}, {L"SensitivityY", 5},  {L"SensitivityZ", 3},     {L"XButtonClose", 1},
                 {L"AnimationsOn", 1}, {L"VibrationsOn", 1}, {L"PulseVibrationsOn", 1}};
  for (const auto& stored : kStored) SetDwordSetting(stored.name, stored.value);
  StartProgram();
  wce::ClockAdvanceTo(GetParam());
  ASSERT_TRUE(IsLoading());
  EXPECT_EQ(CloseProgram(), 0);
  for (int slot = 0; slot < 5; ++slot) {
    EXPECT_EQ(TextSetting(kFolders[slot]), L"Pad") << kFolders[slot];
    EXPECT_EQ(TextSetting(kNames[slot]), kFiles[slot]) << kNames[slot];
  }
  for (const auto& stored : kStored) EXPECT_EQ(DwordSetting(stored.name), stored.value) << stored.name;
}

// Step n works at 10 n ms: each close comes between two steps, the last after
// the eleventh, while the splash still shows.
INSTANTIATE_TEST_SUITE_P(Steps, CloseAfterEachStepTest,
                         ::testing::Values(5u, 15u, 25u, 35u, 45u, 55u, 65u, 75u, 85u, 95u, 105u),
                         [](const ::testing::TestParamInfo<uint64_t>& info) {
                           return "At" + std::to_string(info.param) + "Ms";
                         });

}  // namespace
}  // namespace apptest
