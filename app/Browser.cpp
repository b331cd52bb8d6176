#include "app/Browser.h"

#include <string.h>
#include <wchar.h>

#include "config/Settings.h"

namespace {

const WCHAR kBrowserKey[] = L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER";

// The entry is the browser's command line with its program path in double
// quotes, e.g. "\Windows\iexplore.exe" %1: the first quote-delimited token is
// the path. An entry without quotes is all path. False when there is no token.
bool FirstQuotedToken(LPCWSTR entry, LPWSTR token) {
  while (*entry == L'"') ++entry;
  size_t length = 0;
  while (entry[length] != L'\0' && entry[length] != L'"') ++length;
  if (length == 0 || length >= MAX_PATH) return false;
  wmemcpy(token, entry, length);
  token[length] = L'\0';
  return true;
}

}  // namespace

void OpenInDefaultBrowser(LPCWSTR address) {
  WCHAR entry[MAX_PATH];
  ReadRegString(HKEY_LOCAL_MACHINE, kBrowserKey, L"1", entry, L"");
  WCHAR program[MAX_PATH];
  if (!FirstQuotedToken(entry, program)) return;
  // The call may write into its command line, so it gets a copy.
  WCHAR arguments[MAX_PATH];
  if (wcscpy_s(arguments, MAX_PATH, address != NULL ? address : L"") != 0) return;
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof(process));
  CreateProcessW(program, arguments, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process);
}
