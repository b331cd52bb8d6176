// regext.h on desktop Windows: one value read or written per call. The
// phone's machine-wide keys live under HKEY_CURRENT_USER with the same path,
// since HKEY_LOCAL_MACHINE needs administrator rights on a desktop.
#include <regext.h>

#include "win32_device.h"

namespace {

HKEY DesktopRoot(HKEY root) { return root == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : root; }

// As on the phone: a missing key or value is "not found", a value of another
// type a type mismatch.
HRESULT ReadValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD wantedType, void* data, DWORD* size) {
  HKEY key = NULL;
  LONG status = RegOpenKeyExW(DesktopRoot(root), subKey != NULL ? subKey : L"", 0, KEY_QUERY_VALUE, &key);
  if (status != ERROR_SUCCESS) return status == ERROR_INVALID_HANDLE ? E_INVALIDARG : HRESULT_FROM_WIN32(status);
  DWORD type = REG_NONE;
  status = RegQueryValueExW(key, valueName, NULL, &type, static_cast<BYTE*>(data), size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return HRESULT_FROM_WIN32(status);
  if (type != wantedType) return HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH);
  if (status == ERROR_MORE_DATA) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  return S_OK;
}

HRESULT WriteValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD type, const void* data, DWORD size) {
  HKEY key = NULL;
  LONG status = RegCreateKeyExW(DesktopRoot(root), subKey != NULL ? subKey : L"", 0, NULL, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, NULL, &key, NULL);
  if (status != ERROR_SUCCESS) return status == ERROR_INVALID_HANDLE ? E_INVALIDARG : E_FAIL;
  status = RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? S_OK : E_FAIL;
}

// A desktop has no such key: the phone's browser entry answers, and starting
// that browser opens the desktop's default one (ce_names.cpp).
bool IsCeBrowserValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName) {
  return root == HKEY_LOCAL_MACHINE && subKey != NULL && lstrcmpiW(subKey, jpwin::kCeBrowserKey) == 0 &&
         lstrcmpW(valueName, L"1") == 0;
}

HRESULT CopyText(LPCWSTR text, LPWSTR data, UINT capacity) {
  size_t length = wcslen(text);
  if (length >= capacity) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  wmemcpy(data, text, length + 1);
  return S_OK;
}

}  // namespace

extern "C" {

HRESULT WINAPI RegistryGetString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPWSTR data, UINT capacity) {
  if (data == NULL || capacity == 0 || valueName == NULL) return E_INVALIDARG;
  data[0] = L'\0';
  if (capacity > MAXDWORD / sizeof(WCHAR)) capacity = MAXDWORD / sizeof(WCHAR);
  DWORD size = capacity * sizeof(WCHAR);
  HRESULT result = ReadValue(root, subKey, valueName, REG_SZ, data, &size);
  if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) && IsCeBrowserValue(root, subKey, valueName))
    return CopyText(jpwin::kCeBrowserEntry, data, capacity);
  DWORD length = SUCCEEDED(result) ? size / sizeof(WCHAR) : 0;
  if (length > 0 && data[length - 1] == L'\0') --length;
  // A stored text may lack its terminator; one that leaves no room for it does not fit.
  if (SUCCEEDED(result) && length >= capacity) result = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  data[FAILED(result) ? 0 : length] = L'\0';
  return result;
}

HRESULT WINAPI RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data) {
  if (data == NULL || valueName == NULL) return E_INVALIDARG;
  DWORD value = 0;
  DWORD size = sizeof(value);
  HRESULT result = ReadValue(root, subKey, valueName, REG_DWORD, &value, &size);
  if (SUCCEEDED(result) && size != sizeof(value)) result = HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH);
  if (SUCCEEDED(result)) *data = value;
  return result;
}

HRESULT WINAPI RegistrySetString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR data) {
  if (data == NULL || valueName == NULL) return E_INVALIDARG;
  DWORD size = static_cast<DWORD>((wcslen(data) + 1) * sizeof(WCHAR));
  return WriteValue(root, subKey, valueName, REG_SZ, data, size);
}

HRESULT WINAPI RegistrySetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD data) {
  if (valueName == NULL) return E_INVALIDARG;
  return WriteValue(root, subKey, valueName, REG_DWORD, &data, sizeof(data));
}

}  // extern "C"
