// CE calls whose desktop namesakes differ: wide entry names, the idle timer,
// process start (and CE's browser), the foreground trick, case folding, the
// notification LED.
#include <nled.h>

#include <errno.h>

#include "win32_device.h"

#undef CreateProcessW
#undef SetForegroundWindow

namespace {

// Entry names are ASCII; anything else names no entry.
bool NarrowName(LPCWSTR name, char* out, size_t capacity) {
  size_t i = 0;
  for (; name[i] != L'\0'; ++i) {
    if (i + 1 >= capacity || name[i] > 0x7F) return false;
    out[i] = static_cast<char>(name[i]);
  }
  out[i] = '\0';
  return true;
}

WCHAR FoldCase(WCHAR c) {
  // CharLowerW folds one character given in the low word of its "pointer".
  return static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

}  // namespace

extern "C" {

FARPROC WINAPI JpGetProcAddressW(HMODULE module, LPCWSTR name) {
  if (name == NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  if (IS_INTRESOURCE(name)) return GetProcAddress(module, reinterpret_cast<LPCSTR>(name));  // an ordinal
  char narrow[256];
  if (!NarrowName(name, narrow, sizeof narrow)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return NULL;
  }
  return GetProcAddress(module, narrow);
}

void WINAPI SystemIdleTimerReset(void) {
  // Resets the system's and the display's idle timers once, as on the phone.
  SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

BOOL WINAPI JpCreateProcessW(LPCWSTR application, LPWSTR arguments, LPSECURITY_ATTRIBUTES processAttributes,
                             LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags, LPVOID environment,
                             LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION process) {
  if (application != NULL && lstrcmpiW(application, jpwin::kCeBrowserPath) == 0) {
    // CE's browser is the desktop's default one; there is no process to hand back.
    if (process != NULL) ZeroMemory(process, sizeof(*process));
    return jpwin::OpenInDesktopBrowser(arguments);
  }
  if (application == NULL) {
    // Desktop's own form: the program name is in the command line.
    STARTUPINFOW blank = {};
    blank.cb = sizeof(blank);
    return CreateProcessW(NULL, arguments, processAttributes, threadAttributes, inherit, flags, environment, folder,
                          startup != NULL ? startup : &blank, process);
  }
  // CE gives the child only its arguments; a desktop child expects its own
  // name first, quoted.
  size_t nameLength = wcslen(application);
  size_t argumentsLength = arguments != NULL ? wcslen(arguments) : 0;
  size_t total = nameLength + argumentsLength + 4;
  if (total > 32767) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  LPWSTR commandLine = static_cast<LPWSTR>(HeapAlloc(GetProcessHeap(), 0, total * sizeof(WCHAR)));
  if (commandLine == NULL) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  size_t at = 0;
  commandLine[at++] = L'"';
  wmemcpy(commandLine + at, application, nameLength);
  at += nameLength;
  commandLine[at++] = L'"';
  if (argumentsLength > 0) {
    commandLine[at++] = L' ';
    wmemcpy(commandLine + at, arguments, argumentsLength);
    at += argumentsLength;
  }
  commandLine[at] = L'\0';
  STARTUPINFOW blank = {};
  blank.cb = sizeof(blank);
  BOOL started = CreateProcessW(application, commandLine, processAttributes, threadAttributes, inherit, flags,
                                environment, folder, startup != NULL ? startup : &blank, process);
  DWORD error = GetLastError();
  HeapFree(GetProcessHeap(), 0, commandLine);
  SetLastError(error);
  return started;
}

BOOL WINAPI JpSetForegroundWindow(HWND window) {
  // Bit 0 asks CE to bring the window's owned pop-ups along; a desktop brings
  // them anyway and refuses the marked handle.
  HWND plain = reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) & ~static_cast<ULONG_PTR>(1));
  // A second start raises the first: the foreground is this process's to
  // give, and the first may take it too when it comes back. Another
  // process's window is restored without waiting on that process.
  DWORD owner = 0;
  GetWindowThreadProcessId(plain, &owner);
  bool other = owner != 0 && owner != GetCurrentProcessId();
  if (other) AllowSetForegroundWindow(owner);
  if (IsIconic(plain)) {
    if (other)
      ShowWindowAsync(plain, SW_RESTORE);
    else
      ShowWindow(plain, SW_RESTORE);
  }
  return SetForegroundWindow(plain);
}

int __cdecl JpWcsicmp(const wchar_t* a, const wchar_t* b) {
  if (a == NULL || b == NULL) {
    errno = EINVAL;
    return _NLSCMPERROR;
  }
  for (;; ++a, ++b) {
    WCHAR ca = FoldCase(*a);
    WCHAR cb = FoldCase(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == L'\0') return 0;
  }
}

BOOL WINAPI NLedSetDevice(UINT deviceId, void* input) {
  // No motor on a desktop: a well-formed request succeeds and nothing shakes.
  if (deviceId != NLED_SETTINGS_INFO_ID || input == NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const NLED_SETTINGS_INFO* settings = static_cast<const NLED_SETTINGS_INFO*>(input);
  if (settings->OffOnBlink < 0 || settings->OffOnBlink > 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

}  // extern "C"
