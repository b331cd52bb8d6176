// CE's default browser on a desktop. The phone's key naming its browser does
// not exist there, so a read of it names CE's browser as the phone ships it,
// and starting that browser opens the address in the desktop's default one.
#include "win32_device.h"

#include <shellapi.h>

#include <string>

namespace {

bool OpenThroughShell(LPCWSTR address) {
  HINSTANCE result = ShellExecuteW(NULL, L"open", address, NULL, NULL, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

jpwin::ShellOpen volatile shellOpen = OpenThroughShell;

bool IsAsciiLetter(WCHAR c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(WCHAR c) { return c >= L'0' && c <= L'9'; }

// "mailto:x" and "http://x" have a scheme; "example.org/x" and "localhost:8080"
// (a port, not a scheme) have none.
bool HasScheme(LPCWSTR address) {
  if (!IsAsciiLetter(address[0])) return false;
  size_t i = 1;
  while (IsAsciiLetter(address[i]) || IsAsciiDigit(address[i]) || address[i] == L'+' || address[i] == L'-' ||
         address[i] == L'.')
    ++i;
  return address[i] == L':' && !IsAsciiDigit(address[i + 1]);
}

}  // namespace

namespace jpwin {

const WCHAR kCeBrowserPath[] = L"\\Windows\\iexplore.exe";
const WCHAR kCeBrowserKey[] = L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER";
const WCHAR kCeBrowserEntry[] = L"\"\\Windows\\iexplore.exe\" %1";

BOOL OpenInDesktopBrowser(LPCWSTR address) {
  if (address == NULL || address[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::wstring full = HasScheme(address) ? address : std::wstring(L"https://") + address;
  ShellOpen open = shellOpen;
  if (!open(full.c_str())) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

ShellOpen SetShellOpen(ShellOpen open) {
  ShellOpen previous = shellOpen;
  shellOpen = open != nullptr ? open : OpenThroughShell;
  return previous;
}

}  // namespace jpwin
