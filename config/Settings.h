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
  static const int SlotCount = 5;

  Settings();

  // Fills every field; a missing value takes its default and nothing is written.
  bool Load();
  // Writes every stored value, whatever the range; a failed write does not stop the rest.
  bool Save();

  WCHAR ModuleFolder[MAX_PATH];
  WCHAR SkinFolder[MAX_PATH];
  WCHAR SkinDescriptionPath[MAX_PATH];
  WCHAR SoundsFolder[MAX_PATH];
  WCHAR SlotFolder[SlotCount][MAX_PATH];
  WCHAR SlotName[SlotCount][MAX_PATH];
  LONG SensitivityX;
  LONG SensitivityY;
  LONG SensitivityZ;
  DWORD XButtonClose;
  DWORD AnimationsOn;
  DWORD VibrationsOn;
  DWORD PulseVibrationsOn;

 private:
  void DeriveFolders();
};
