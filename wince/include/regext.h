// Windows Mobile registry helpers.
#pragma once

#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WINAPI RegistryGetString(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, LPWSTR pszData,
                                 UINT cchData);
HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, DWORD* pdwData);
HRESULT WINAPI RegistrySetString(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, LPCWSTR pszData);
HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, DWORD dwData);

#ifdef __cplusplus
}
#endif
