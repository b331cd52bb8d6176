// regext.h: the Windows Mobile helpers that read and write one registry value.
#include <regext.h>

#include <windows.h>

#include <cwchar>

#include "registry/store.h"

using wce::registry::Lookup;
using wce::registry::Root;
using wce::registry::SetResult;
using wce::registry::Value;

namespace {

struct RootHandle {
  HKEY handle;
  Root root;
};

const RootHandle kRoots[] = {
    {HKEY_CLASSES_ROOT, Root::ClassesRoot},
    {HKEY_CURRENT_USER, Root::CurrentUser},
    {HKEY_LOCAL_MACHINE, Root::LocalMachine},
    {HKEY_USERS, Root::Users},
};

bool RootOf(HKEY key, Root& root) {
  for (const RootHandle& r : kRoots) {
    if (r.handle == key) {
      root = r.root;
      return true;
    }
  }
  return false;
}

std::wstring_view SubKeyText(LPCWSTR subKey) { return subKey ? std::wstring_view(subKey) : std::wstring_view(); }

// The project treats a missing key, a missing value and a value of the other
// type alike: the program reads any of them as "absent".
HRESULT ReadValue(HKEY hKey, LPCWSTR subKey, LPCWSTR valueName, wce::registry::ValueType type, Value& value) {
  Root root;
  if (!RootOf(hKey, root)) return E_INVALIDARG;
  switch (wce::registry::GetValue(root, SubKeyText(subKey), valueName, value)) {
    case Lookup::Found:
      return value.type == type ? S_OK : E_FAIL;
    case Lookup::BadPath:
      return E_INVALIDARG;
    case Lookup::NoKey:
    case Lookup::NoValue:
      break;
  }
  return E_FAIL;
}

HRESULT WriteValue(HKEY hKey, LPCWSTR subKey, const Value& value) {
  Root root;
  if (!RootOf(hKey, root)) return E_INVALIDARG;
  switch (wce::registry::SetValue(root, SubKeyText(subKey), value)) {
    case SetResult::Ok:
      return S_OK;
    case SetResult::BadArgument:
      return E_INVALIDARG;
    case SetResult::SaveFailed:
      break;
  }
  return E_FAIL;
}

}  // namespace

extern "C" {

HRESULT WINAPI RegistryGetString(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, LPWSTR pszData,
                                 UINT cchData) {
  if (!pszData || cchData == 0 || !pszValueName) return E_INVALIDARG;
  pszData[0] = L'\0';
  try {
    Value value;
    HRESULT hr = ReadValue(hKey, pszSubKey, pszValueName, wce::registry::ValueType::String, value);
    if (FAILED(hr)) return hr;
    if (value.text.size() >= cchData) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    wmemcpy(pszData, value.text.c_str(), value.text.size() + 1);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, DWORD* pdwData) {
  if (!pdwData || !pszValueName) return E_INVALIDARG;
  try {
    Value value;
    HRESULT hr = ReadValue(hKey, pszSubKey, pszValueName, wce::registry::ValueType::Dword, value);
    if (SUCCEEDED(hr)) *pdwData = value.number;
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI RegistrySetString(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, LPCWSTR pszData) {
  if (!pszData || !pszValueName) return E_INVALIDARG;
  try {
    return WriteValue(hKey, pszSubKey, Value::String(pszValueName, pszData));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, DWORD dwData) {
  if (!pszValueName) return E_INVALIDARG;
  try {
    return WriteValue(hKey, pszSubKey, Value::Dword(pszValueName, dwData));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // extern "C"
