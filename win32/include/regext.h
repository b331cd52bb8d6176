// CE's registry helpers. On desktop the phone's machine-wide keys live under
// HKEY_CURRENT_USER with the same path: writing under HKEY_LOCAL_MACHINE
// needs administrator rights there.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WINAPI RegistryGetString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPWSTR data, UINT capacity);
HRESULT WINAPI RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data);
HRESULT WINAPI RegistrySetString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR data);
HRESULT WINAPI RegistrySetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD data);

#ifdef __cplusplus
}
#endif
