// regext.h: the Windows Mobile helpers that read and write one registry value.
#include <regext.h>

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "registry/store.h"

using wce::registry::Lookup;
using wce::registry::Root;
using wce::registry::SetResult;
using wce::registry::Value;
using wce::registry::ValueType;

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

// As on the platform: a missing key or value is ERROR_FILE_NOT_FOUND, a value
// of another type ERROR_DATATYPE_MISMATCH (the program reads either as "absent").
constexpr HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
constexpr HRESULT kMismatch = HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH);

HRESULT Find(HKEY hKey, LPCWSTR subKey, LPCWSTR valueName, Value& value) {
  Root root;
  if (!RootOf(hKey, root)) return E_INVALIDARG;
  switch (wce::registry::GetValue(root, SubKeyText(subKey), valueName, value)) {
    case Lookup::Found:
      return S_OK;
    case Lookup::BadPath:
      return E_INVALIDARG;
    case Lookup::NoKey:
    case Lookup::NoValue:
      break;
  }
  return kNotFound;
}

// A REG_SZ from a hive file whose bytes are no clean text reads as a program
// would see them: up to the first NUL, an odd last byte dropped, a lone
// surrogate as U+FFFD.
std::wstring TextOfBytes(const std::vector<uint8_t>& bytes) {
  std::wstring text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto unit = static_cast<uint32_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == 0) break;
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    uint32_t next = i + 3 < bytes.size() ? static_cast<uint32_t>(bytes[i + 2] | (bytes[i + 3] << 8)) : 0;
    if (high && next >= 0xDC00 && next <= 0xDFFF) {
      text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00)));
      i += 2;
    } else {
      text.push_back(static_cast<wchar_t>(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit));
    }
  }
  return text;
}

// Only REG_SZ is text to RegistryGetString, as on the platform.
bool AsText(const Value& value, std::wstring& text) {
  if (value.type == ValueType::String) {
    text = value.text;
    return true;
  }
  if (value.type != ValueType::Raw || value.rawType != wce::registry::kRegSz) return false;
  text = TextOfBytes(value.bytes);
  return true;
}

// REG_DWORD only; one written as hex(4) must hold exactly four bytes.
bool AsNumber(const Value& value, DWORD& number) {
  if (value.type == ValueType::Dword) {
    number = value.number;
    return true;
  }
  if (value.type != ValueType::Raw || value.rawType != wce::registry::kRegDword || value.bytes.size() != 4)
    return false;
  number = value.bytes[0] | (DWORD{value.bytes[1]} << 8) | (DWORD{value.bytes[2]} << 16) |
           (DWORD{value.bytes[3]} << 24);
  return true;
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
    HRESULT hr = Find(hKey, pszSubKey, pszValueName, value);
    if (FAILED(hr)) return hr;
    std::wstring text;
    if (!AsText(value, text)) return kMismatch;
    if (text.size() >= cchData) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    wmemcpy(pszData, text.c_str(), text.size() + 1);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCWSTR pszSubKey, LPCWSTR pszValueName, DWORD* pdwData) {
  if (!pdwData || !pszValueName) return E_INVALIDARG;
  try {
    Value value;
    HRESULT hr = Find(hKey, pszSubKey, pszValueName, value);
    if (FAILED(hr)) return hr;
    DWORD number = 0;
    if (!AsNumber(value, number)) return kMismatch;
    *pdwData = number;
    return S_OK;
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
