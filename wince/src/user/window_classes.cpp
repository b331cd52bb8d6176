// RegisterClassW / UnregisterClassW. Class names compare without case, as on
// the platform; a name may also be given as the atom RegisterClassW returned.
#include <windows.h>

#include <cwctype>

#include "kernel/clock.h"
#include "user/user_state.h"
#include "user/window_classes.h"

namespace wce::user {
namespace {

bool SameName(const std::wstring& a, LPCWSTR b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  return i == a.size() && b[i] == 0;
}

}  // namespace

bool ClassMatches(const WindowClass& cls, LPCWSTR nameOrAtom) {
  if (!nameOrAtom) return false;
  return IS_INTRESOURCE(nameOrAtom) ? cls.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom))
                                    : SameName(cls.name, nameOrAtom);
}

std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom) {
  for (const auto& c : User().classes)
    if (ClassMatches(*c, nameOrAtom)) return c;
  return nullptr;
}

}  // namespace wce::user

using namespace wce;
using namespace wce::user;

extern "C" {

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
      IS_INTRESOURCE(lpWndClass->lpszClassName) || !lpWndClass->lpszClassName[0]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::mutex> lock(DeviceLock());
  if (FindClass(lpWndClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  UserState& u = User();
  auto cls = std::make_shared<WindowClass>();
  cls->name = lpWndClass->lpszClassName;
  cls->atom = u.nextAtom++;
  cls->style = lpWndClass->style;
  cls->proc = lpWndClass->lpfnWndProc;
  cls->instance = lpWndClass->hInstance;
  cls->background = lpWndClass->hbrBackground;
  u.classes.push_back(cls);
  return cls->atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::erase(User().classes, cls);
  return TRUE;
}

}  // extern "C"
