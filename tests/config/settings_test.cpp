#include <windows.h>
#include <regext.h>

#include <string>

#include "config/Settings.h"
#include "device_fixture.h"

namespace {

const wchar_t kKey[] = L"Software\\Marrowfen\\Jostlepad\\Settings";
const wchar_t* const kValues[] = {
    L"SoundSlot1Folder", L"SoundSlot2Folder", L"SoundSlot3Folder", L"SoundSlot4Folder", L"SoundSlot5Folder",
    L"SoundSlot1Name",   L"SoundSlot2Name",   L"SoundSlot3Name",   L"SoundSlot4Name",   L"SoundSlot5Name",
    L"SensitivityX",     L"SensitivityY",     L"SensitivityZ",     L"XButtonClose",     L"AnimationsOn",
    L"VibrationsOn",     L"PulseVibrationsOn"};

class SettingsTest : public jptest::DeviceTest {
 protected:
  std::wstring AppFolder() { return wce::PosixPathToDevice(temp_ / "app") + L"\\"; }

  // Present with its own type: the first ten are texts, the rest numbers.
  static int StoredValues() {
    int stored = 0;
    for (int i = 0; i < 17; ++i) {
      WCHAR text[MAX_PATH];
      DWORD number;
      HRESULT hr = i < 10 ? RegistryGetString(HKEY_LOCAL_MACHINE, kKey, kValues[i], text, MAX_PATH)
                          : RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, kValues[i], &number);
      if (hr == S_OK) ++stored;
    }
    return stored;
  }
};

TEST_F(SettingsTest, FirstRunTakesTheDefaultsAndWritesNothing) {
  Settings settings;
  EXPECT_TRUE(settings.Load());
  for (int i = 0; i < Settings::kSlotCount; ++i) {
    EXPECT_STREQ(settings.slotFolder[i], L"");
    EXPECT_STREQ(settings.slotName[i], L"");
  }
  EXPECT_EQ(settings.sensitivityX, 5);
  EXPECT_EQ(settings.sensitivityY, 5);
  EXPECT_EQ(settings.sensitivityZ, 5);
  EXPECT_EQ(settings.xButtonClose, 1u);
  EXPECT_EQ(settings.animationsOn, 1u);
  EXPECT_EQ(settings.vibrationsOn, 0u);
  EXPECT_EQ(settings.pulseVibrationsOn, 1u);
  std::wstring app = AppFolder();
  EXPECT_EQ(std::wstring(settings.moduleFolder), app);
  EXPECT_EQ(std::wstring(settings.skinFolder), app + L"Skin\\");
  EXPECT_EQ(std::wstring(settings.skinDescriptionPath), app + L"Skin\\Skin.txt");
  EXPECT_EQ(std::wstring(settings.soundsFolder), app + L"Sounds\\");
  EXPECT_EQ(StoredValues(), 0);

  EXPECT_TRUE(settings.Save());  // the first save creates every value
  EXPECT_EQ(StoredValues(), 17);
}

TEST_F(SettingsTest, EveryValueRoundTripsExactlyOutOfRangeToo) {
  Settings saved;
  saved.Load();
  for (int i = 0; i < Settings::kSlotCount; ++i) {
    swprintf(saved.slotFolder[i], MAX_PATH, L"Pack %d \u00e9", i + 1);
    swprintf(saved.slotName[i], MAX_PATH, L"sound%d.wav", i + 1);
  }
  saved.sensitivityX = 0;
  saved.sensitivityY = 11;
  saved.sensitivityZ = -1;
  saved.xButtonClose = 0;
  saved.animationsOn = 0;
  saved.vibrationsOn = 1;
  saved.pulseVibrationsOn = 7;
  EXPECT_TRUE(saved.Save());
  DWORD raw = 0;
  ASSERT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, L"SensitivityZ", &raw), S_OK);
  EXPECT_EQ(raw, 0xFFFFFFFFu);

  Settings loaded;
  loaded.Load();
  for (int i = 0; i < Settings::kSlotCount; ++i) {
    EXPECT_STREQ(loaded.slotFolder[i], saved.slotFolder[i]);
    EXPECT_STREQ(loaded.slotName[i], saved.slotName[i]);
  }
  EXPECT_EQ(loaded.sensitivityX, 0);
  EXPECT_EQ(loaded.sensitivityY, 11);
  EXPECT_EQ(loaded.sensitivityZ, -1);
  EXPECT_EQ(loaded.xButtonClose, 0u);
  EXPECT_EQ(loaded.animationsOn, 0u);
  EXPECT_EQ(loaded.vibrationsOn, 1u);
  EXPECT_EQ(loaded.pulseVibrationsOn, 7u);

  // A value of the wrong type counts as missing.
  ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kKey, L"SensitivityX", L"9"), S_OK);
  ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kKey, L"SoundSlot1Name", 3), S_OK);
  loaded.Load();
  EXPECT_EQ(loaded.sensitivityX, 5);
  EXPECT_STREQ(loaded.slotName[0], L"");
}

TEST_F(SettingsTest, FolderPathsThatCannotBeWrittenDown) {
  // A module name too long for the text is as good as none: relative folders.
  wce::SetModulePath(temp_ / (std::string(300, 'd') + "/Jostlepad.exe"));
  Settings settings;
  settings.Load();
  EXPECT_STREQ(settings.moduleFolder, L"");
  EXPECT_STREQ(settings.skinFolder, L"Skin\\");
  EXPECT_STREQ(settings.skinDescriptionPath, L"Skin\\Skin.txt");
  EXPECT_STREQ(settings.soundsFolder, L"Sounds\\");

  // A 253-character folder: "Skin\" still fits, "Sounds\" and "Skin\Skin.txt" do not.
  size_t appLength = AppFolder().size();
  if (appLength + 2 > 253 || 253 - appLength - 1 > 250) GTEST_SKIP() << "temporary folder of an unusual length";
  wce::SetModulePath(temp_ / ("app/" + std::string(253 - appLength - 1, 'f') + "/J.exe"));
  settings.Load();
  EXPECT_EQ(wcslen(settings.moduleFolder), 253u);
  EXPECT_EQ(std::wstring(settings.skinFolder), std::wstring(settings.moduleFolder) + L"Skin\\");
  EXPECT_STREQ(settings.skinDescriptionPath, L"");
  EXPECT_STREQ(settings.soundsFolder, L"");
}

TEST_F(SettingsTest, ReadHelpersFallBackOnlyWhenTheyCan) {
  WCHAR text[MAX_PATH] = L"untouched";
  EXPECT_NE(ReadRegString(HKEY_LOCAL_MACHINE, kKey, L"Missing", text, L"fallback"), S_OK);
  EXPECT_STREQ(text, L"fallback");
  EXPECT_EQ(WriteRegString(HKEY_LOCAL_MACHINE, kKey, L"Present", L"stored"), S_OK);
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kKey, L"Present", text, L"fallback"), S_OK);
  EXPECT_STREQ(text, L"stored");
  EXPECT_NE(ReadRegString(HKEY_LOCAL_MACHINE, kKey, L"Missing", nullptr, L"fallback"), S_OK);
  DWORD number = 42;
  EXPECT_NE(ReadRegDword(HKEY_LOCAL_MACHINE, kKey, L"Missing", &number, 17), S_OK);
  EXPECT_EQ(number, 17u);
  EXPECT_EQ(WriteRegDword(HKEY_LOCAL_MACHINE, kKey, L"Count", 0xFFFFFFFFu), S_OK);
  EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, kKey, L"Count", &number, 17), S_OK);
  EXPECT_EQ(number, 0xFFFFFFFFu);
  EXPECT_NE(ReadRegDword(HKEY_LOCAL_MACHINE, kKey, L"Missing", nullptr, 17), S_OK);
}

}  // namespace
