#include "config/Settings.h"

#include <regext.h>
#include <string.h>

namespace {

const HKEY kSettingsRoot = HKEY_LOCAL_MACHINE;
const WCHAR kSettingsKey[] = L"Software\\Marrowfen\\Jostlepad\\Settings";

const LPCWSTR kSlotFolderValues[Settings::kSlotCount] = {
    L"SoundSlot1Folder", L"SoundSlot2Folder", L"SoundSlot3Folder", L"SoundSlot4Folder", L"SoundSlot5Folder",
};
const LPCWSTR kSlotNameValues[Settings::kSlotCount] = {
    L"SoundSlot1Name", L"SoundSlot2Name", L"SoundSlot3Name", L"SoundSlot4Name", L"SoundSlot5Name",
};

struct SensitivityValue {
  LPCWSTR name;
  LONG Settings::*field;
  DWORD fallback;
};
const SensitivityValue kSensitivityValues[] = {
    {L"SensitivityX", &Settings::sensitivityX, 5},
    {L"SensitivityY", &Settings::sensitivityY, 5},
    {L"SensitivityZ", &Settings::sensitivityZ, 5},
};

struct CheckBoxValue {
  LPCWSTR name;
  DWORD Settings::*field;
  DWORD fallback;
};
const CheckBoxValue kCheckBoxValues[] = {
    {L"XButtonClose", &Settings::xButtonClose, 1},
    {L"AnimationsOn", &Settings::animationsOn, 1},
    {L"VibrationsOn", &Settings::vibrationsOn, 0},
    {L"PulseVibrationsOn", &Settings::pulseVibrationsOn, 1},
};

// `base` + `tail` into a MAX_PATH buffer; a path too long for it stays empty.
void JoinFolder(LPWSTR out, LPCWSTR base, LPCWSTR tail) {
  out[0] = L'\0';
  if (wcslen(base) + wcslen(tail) >= MAX_PATH) return;
  if (wcscpy_s(out, MAX_PATH, base) != 0 || wcscat_s(out, MAX_PATH, tail) != 0) out[0] = L'\0';
}

}  // namespace

void GetModuleFolder(LPWSTR folder) {
  if (folder == NULL) return;
  WCHAR path[MAX_PATH];
  memset(path, 0, sizeof(path));
  // A cut-off name would give the wrong folder: treat it as no name at all.
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) path[0] = L'\0';
  // Keep the backslash, so that sub-folders are appended without one of their own.
  WCHAR* lastSlash = wcsrchr(path, L'\\');
  if (lastSlash != NULL) lastSlash[1] = L'\0';
  if (wcscpy_s(folder, MAX_PATH, path) != 0) folder[0] = L'\0';
}

HRESULT ReadRegString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPWSTR text, LPCWSTR defaultText) {
  HRESULT result = RegistryGetString(root, subKey, valueName, text, MAX_PATH);
  if (result != S_OK && text != NULL && defaultText != NULL) {
    if (wcscpy_s(text, MAX_PATH, defaultText) != 0) text[0] = L'\0';
  }
  return result;
}

HRESULT ReadRegDword(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* value, DWORD defaultValue) {
  HRESULT result = RegistryGetDWORD(root, subKey, valueName, value);
  if (result != S_OK && value != NULL) *value = defaultValue;
  return result;
}

HRESULT WriteRegString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR text) {
  return RegistrySetString(root, subKey, valueName, text);
}

HRESULT WriteRegDword(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD value) {
  return RegistrySetDWORD(root, subKey, valueName, value);
}

Settings::Settings()
    : sensitivityX(0),
      sensitivityY(0),
      sensitivityZ(0),
      xButtonClose(0),
      animationsOn(0),
      vibrationsOn(0),
      pulseVibrationsOn(0) {
  moduleFolder[0] = skinFolder[0] = skinDescriptionPath[0] = soundsFolder[0] = L'\0';
  for (int i = 0; i < kSlotCount; ++i) slotFolder[i][0] = slotName[i][0] = L'\0';
}

void Settings::DeriveFolders() {
  JoinFolder(skinFolder, moduleFolder, L"Skin\\");
  JoinFolder(skinDescriptionPath, skinFolder, L"Skin.txt");
  JoinFolder(soundsFolder, moduleFolder, L"Sounds\\");
}

bool Settings::Load() {
  // The folders are never stored: the program may have been moved since.
  GetModuleFolder(moduleFolder);
  DeriveFolders();
  for (int i = 0; i < kSlotCount; ++i) {
    ReadRegString(kSettingsRoot, kSettingsKey, kSlotFolderValues[i], slotFolder[i], L"");
  }
  for (int i = 0; i < kSlotCount; ++i) {
    ReadRegString(kSettingsRoot, kSettingsKey, kSlotNameValues[i], slotName[i], L"");
  }
  for (const SensitivityValue& value : kSensitivityValues) {
    DWORD stored = 0;
    ReadRegDword(kSettingsRoot, kSettingsKey, value.name, &stored, value.fallback);
    // Same bits back: an out-of-range number is the detector's business.
    this->*value.field = static_cast<LONG>(stored);
  }
  for (const CheckBoxValue& value : kCheckBoxValues) {
    ReadRegDword(kSettingsRoot, kSettingsKey, value.name, &(this->*value.field), value.fallback);
  }
  return true;
}

bool Settings::Save() {
  for (int i = 0; i < kSlotCount; ++i) {
    WriteRegString(kSettingsRoot, kSettingsKey, kSlotFolderValues[i], slotFolder[i]);
  }
  for (int i = 0; i < kSlotCount; ++i) {
    WriteRegString(kSettingsRoot, kSettingsKey, kSlotNameValues[i], slotName[i]);
  }
  for (const SensitivityValue& value : kSensitivityValues) {
    WriteRegDword(kSettingsRoot, kSettingsKey, value.name, static_cast<DWORD>(this->*value.field));
  }
  for (const CheckBoxValue& value : kCheckBoxValues) {
    WriteRegDword(kSettingsRoot, kSettingsKey, value.name, this->*value.field);
  }
  return true;
}
