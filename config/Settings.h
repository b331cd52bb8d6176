// The user's preferences, kept in the registry, and the folders found next to
// the executable.
#pragma once

#include <windows.h>

// The running executable's folder, with its trailing backslash; empty when
// the system cannot name the module. `folder` holds MAX_PATH characters.
void GetModuleFolder(LPWSTR folder);

// Registry access with defaults: a value that cannot be read gives `defaultText`
// (`defaultValue`). `text` holds MAX_PATH characters. Each returns the registry's result.
HRESULT ReadRegString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPWSTR text, LPCWSTR defaultText);
HRESULT ReadRegDword(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* value, DWORD defaultValue);
HRESULT WriteRegString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR text);
HRESULT WriteRegDword(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD value);

class Settings {
 public:
  static const int kSlotCount = 5;

  Settings();

  // Fills every field; a missing value takes its default and nothing is written.
  bool Load();
  // Writes every stored value, whatever the range; a failed write does not stop the rest.
  bool Save();

  WCHAR moduleFolder[MAX_PATH];
  WCHAR skinFolder[MAX_PATH];
  WCHAR skinDescriptionPath[MAX_PATH];
  WCHAR soundsFolder[MAX_PATH];
  WCHAR slotFolder[kSlotCount][MAX_PATH];
  WCHAR slotName[kSlotCount][MAX_PATH];
  LONG sensitivityX;
  LONG sensitivityY;
  LONG sensitivityZ;
  DWORD xButtonClose;
  DWORD animationsOn;
  DWORD vibrationsOn;
  DWORD pulseVibrationsOn;

 private:
  void DeriveFolders();
};
