// The device C library's wide-text helpers: bounded copies, case-insensitive
// compares and number parsing, none of which may write past a bound or overflow.
#include <climits>
#include <cstdint>
#include <cstring>

#include "kernel/paths.h"
#include "wce_crt.h"

namespace {

void CopyChars(wchar_t* dest, const wchar_t* src, size_t count) {
  std::memmove(dest, src, count * sizeof(wchar_t));
  dest[count] = L'\0';
}

int CompareFolded(const wchar_t* a, const wchar_t* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    wchar_t ca = wce::FoldCase(a[i]);
    wchar_t cb = wce::FoldCase(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == L'\0') return 0;
  }
  return 0;
}

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Saturates at the device's 32-bit limits instead of overflowing.
int32_t ParseDecimal(const wchar_t* text) {
  if (text == nullptr) {
    errno = EINVAL;
    return 0;
  }
  while (IsSpace(*text)) ++text;
  bool negative = *text == L'-';
  if (*text == L'-' || *text == L'+') ++text;
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  bool clamped = false;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    value = value * 10 + (*text - L'0');
    if (value > limit) {
      value = limit;
      clamped = true;
    }
  }
  if (clamped) errno = ERANGE;
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

extern "C" errno_t wcscpy_s(wchar_t* dest, size_t destSize, const wchar_t* src) {
  if (dest == nullptr || destSize == 0) return EINVAL;
  if (src == nullptr) {
    dest[0] = L'\0';
    return EINVAL;
  }
  size_t length = wcsnlen(src, destSize);
  if (length == destSize) {  // no room for the terminator
    dest[0] = L'\0';
    return ERANGE;
  }
  CopyChars(dest, src, length);
  return 0;
}

extern "C" errno_t wcscat_s(wchar_t* dest, size_t destSize, const wchar_t* src) {
  if (dest == nullptr || destSize == 0) return EINVAL;
  if (src == nullptr) {
    dest[0] = L'\0';
    return EINVAL;
  }
  size_t have = wcsnlen(dest, destSize);
  if (have == destSize) {  // the destination was never terminated
    dest[0] = L'\0';
    return EINVAL;
  }
  size_t add = wcsnlen(src, destSize - have);
  if (have + add >= destSize) {
    dest[0] = L'\0';
    return ERANGE;
  }
  CopyChars(dest + have, src, add);
  return 0;
}

extern "C" errno_t wcsncpy_s(wchar_t* dest, size_t destSize, const wchar_t* src, size_t count) {
  if (dest == nullptr || destSize == 0) return EINVAL;
  if (src == nullptr) {
    dest[0] = L'\0';
    return count == 0 ? 0 : EINVAL;
  }
  if (count == _TRUNCATE) {
    size_t length = wcsnlen(src, destSize);
    if (length == destSize) {
      CopyChars(dest, src, destSize - 1);
      return STRUNCATE;
    }
    CopyChars(dest, src, length);
    return 0;
  }
  size_t length = wcsnlen(src, count < destSize ? count : destSize);
  if (length >= destSize) {
    dest[0] = L'\0';
    return ERANGE;
  }
  CopyChars(dest, src, length);
  return 0;
}

extern "C" int _wcsicmp(const wchar_t* a, const wchar_t* b) {
  if (a == nullptr || b == nullptr) {
    errno = EINVAL;
    return _NLSCMPERROR;
  }
  return CompareFolded(a, b, SIZE_MAX);
}

extern "C" int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count) {
  if (count == 0) return 0;
  if (a == nullptr || b == nullptr) {
    errno = EINVAL;
    return _NLSCMPERROR;
  }
  return CompareFolded(a, b, count);
}

extern "C" int _wtoi(const wchar_t* text) { return ParseDecimal(text); }

extern "C" long _wtol(const wchar_t* text) { return ParseDecimal(text); }
