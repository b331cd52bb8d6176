// Checks of the desktop Windows device, run under Wine by tools/test-windows.sh:
//   win32_device_tests.exe STAGE_DIR CORPORA_DIR
// Prints one line per failed check and exits with the number of failures.
// Run as "win32_device_tests.exe child ARG" it is the child of the process check.
#include <aygshell.h>
#include <nled.h>
#include <regext.h>
#include <stdio.h>

#include <string>

#include "win32_device.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what, int line) {
  if (ok) return;
  ++failures;
  printf("FAILED line %d: %s\n", line, what);
  fflush(stdout);
}
#define CHECK(expr) Check((expr), #expr, __LINE__)

const WCHAR kKey[] = L"Software\\JostlepadDeviceChecks";

void CheckRegistry() {
  // The phone's machine-wide key lands under the current user on a desktop.
  CHECK(RegistrySetString(HKEY_LOCAL_MACHINE, kKey, L"Text", L"caf\x00e9") == S_OK);
  CHECK(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kKey, L"Number", 42) == S_OK);
  HKEY user = NULL;
  CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &user) == ERROR_SUCCESS);
  if (user != NULL) RegCloseKey(user);

  struct TextCase {
    const WCHAR* value;
    UINT capacity;
    HRESULT result;
    const WCHAR* text;
  };
  const TextCase texts[] = {
      {L"Text", MAX_PATH, S_OK, L"caf\x00e9"},
      {L"Text", 5, S_OK, L"caf\x00e9"},  // exactly room for the terminator
      {L"Text", 4, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), L""},
      {L"Missing", MAX_PATH, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L""},
      {L"Number", MAX_PATH, HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH), L""},
  };
  for (const TextCase& c : texts) {
    WCHAR buffer[MAX_PATH] = L"junk";
    CHECK(RegistryGetString(HKEY_LOCAL_MACHINE, kKey, c.value, buffer, c.capacity) == c.result);
    CHECK(wcscmp(buffer, c.text) == 0);
  }
  DWORD number = 7;
  CHECK(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, L"Number", &number) == S_OK && number == 42);
  CHECK(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKey, L"Text", &number) == HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH) &&
        number == 42);
  CHECK(RegistryGetDWORD(HKEY_LOCAL_MACHINE, L"Software\\NoSuchKey", L"Number", &number) ==
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  CHECK(RegistryGetString(HKEY_LOCAL_MACHINE, kKey, L"Text", NULL, 5) == E_INVALIDARG);
  RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

void CheckNames() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  CHECK(GetProcAddressW(kernel, L"GetTickCount") != NULL);
  CHECK(GetProcAddressW(kernel, L"GetTick\x00e7ount") == NULL);
  CHECK(GetProcAddressW(kernel, NULL) == NULL);

  struct FoldCase {
    const wchar_t* a;
    const wchar_t* b;
    int sign;
  };
  const FoldCase folds[] = {
      {L"Drums", L"dRUMS", 0},
      {L"\x00c9t\x00e9", L"\x00e9T\x00c9", 0},  // accented letters fold as on the phone
      {L"abc", L"abd", -1},
      {L"b", L"A", 1},
      {L"ab", L"abc", -1},
  };
  for (const FoldCase& c : folds) {
    int result = _wcsicmp(c.a, c.b);
    CHECK((result > 0) - (result < 0) == c.sign);
  }
  CHECK(_wcsicmp(NULL, L"a") == _NLSCMPERROR);

  NLED_SETTINGS_INFO led = {1, 1, 0, 0, 0, 0, 0};
  CHECK(NLedSetDevice(NLED_SETTINGS_INFO_ID, &led));
  led.OffOnBlink = 3;
  CHECK(!NLedSetDevice(NLED_SETTINGS_INFO_ID, &led));
  CHECK(!NLedSetDevice(NLED_COUNT_INFO_ID, &led));
}

void CheckScreen() {
  HDC screen = GetDC(NULL);
  int scale = GetDeviceCaps(screen, LOGPIXELSY);  // the phone's 192 dpi, scaled for the monitor
  ReleaseDC(NULL, screen);
  CHECK(scale >= 192);
  CHECK(GetSystemMetrics(SM_CXSCREEN) == MulDiv(480, scale, 192));
  CHECK(GetSystemMetrics(SM_CYSCREEN) == MulDiv(640, scale, 192));
  RECT area = {};
  CHECK(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
  CHECK(area.top == MulDiv(26, scale, 192) && area.bottom == GetSystemMetrics(SM_CYSCREEN));
  CHECK(!SystemParametersInfoW(SPI_GETWORKAREA, 0, NULL, 0));

  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_DISPLAYQUERYORIENTATION;
  CHECK(ChangeDisplaySettingsEx(NULL, &mode, NULL, CDS_TEST, NULL) == DISP_CHANGE_SUCCESSFUL);
  CHECK(mode.dmDisplayOrientation == (DMDO_90 | DMDO_180 | DMDO_270));
  struct Change {
    DWORD fields;
    DWORD orientation;
    DWORD flags;
    LONG result;
  };
  const Change changes[] = {
      {DM_DISPLAYORIENTATION, DMDO_270, CDS_RESET, DISP_CHANGE_SUCCESSFUL},
      {DM_DISPLAYORIENTATION, 3, CDS_RESET, DISP_CHANGE_BADPARAM},  // desktop's 270 is not CE's
      {DM_DISPLAYQUERYORIENTATION, 0, 0, DISP_CHANGE_BADFLAGS},
      {DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION, 0, CDS_TEST, DISP_CHANGE_BADPARAM},
  };
  for (const Change& c : changes) {
    mode.dmFields = c.fields;
    mode.dmDisplayOrientation = c.orientation;
    CHECK(ChangeDisplaySettingsEx(NULL, &mode, NULL, c.flags, NULL) == c.result);
  }
  mode.dmFields = DM_DISPLAYORIENTATION;
  CHECK(ChangeDisplaySettingsEx(NULL, &mode, NULL, CDS_TEST, NULL) == DISP_CHANGE_SUCCESSFUL);
  CHECK(mode.dmDisplayOrientation == DMDO_270);  // read back, and no monitor turned
  mode.dmDisplayOrientation = DMDO_0;
  CHECK(ChangeDisplaySettingsEx(NULL, &mode, NULL, CDS_RESET, NULL) == DISP_CHANGE_SUCCESSFUL);
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC memory = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(memory, bitmap);
  COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteDC(memory);
  return colour;
}

void CheckPictures(const std::wstring& stage, const std::wstring& corpora) {
  HBITMAP picture = SHLoadImageFile((stage + L"\\Skin\\Pic_BottomBar.png").c_str());
  CHECK(picture != NULL);
  BITMAP info = {};
  if (picture != NULL) {
    CHECK(GetObjectW(picture, sizeof(info), &info) == sizeof(info));
    CHECK(info.bmWidth > 0 && info.bmHeight > 0 && info.bmBitsPixel == 24);
    DeleteObject(picture);
  }
  CHECK(SHLoadImageFile((stage + L"\\Skin\\NoSuchPicture.png").c_str()) == NULL);
  CHECK(SHLoadImageFile(L"") == NULL);
  CHECK(SHLoadImageFile(NULL) == NULL);
  // PngSuite's damaged files: refused, never half a picture.
  const WCHAR* damaged[] = {L"xs1n0g01.png", L"xcrn0g04.png", L"xhdn0g08.png", L"xd0n2c08.png"};
  for (const WCHAR* name : damaged) {
    HBITMAP bad = SHLoadImageFile((corpora + L"\\pngsuite\\" + name).c_str());
    Check(bad == NULL, "damaged PNG refused", __LINE__);
    if (bad != NULL) printf("  accepted: %ls\n", name);
    if (bad != NULL) DeleteObject(bad);
  }

  // TransparentImage from a bitmap selected nowhere: the key colour is left out.
  HDC screen = GetDC(NULL);
  HBITMAP source = CreateCompatibleBitmap(screen, 2, 1);
  HBITMAP target = CreateCompatibleBitmap(screen, 2, 1);
  ReleaseDC(NULL, screen);
  HDC memory = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(memory, source);
  SetPixel(memory, 0, 0, RGB(255, 0, 255));
  SetPixel(memory, 1, 0, RGB(10, 20, 30));
  SelectObject(memory, target);
  SetPixel(memory, 0, 0, RGB(1, 2, 3));
  SetPixel(memory, 1, 0, RGB(1, 2, 3));
  CHECK(TransparentImage(memory, 0, 0, 2, 1, source, 0, 0, 2, 1, RGB(255, 0, 255)));
  SelectObject(memory, old);
  DeleteDC(memory);
  CHECK(PixelOf(target, 0, 0) == RGB(1, 2, 3));
  CHECK(PixelOf(target, 1, 0) == RGB(10, 20, 30));
  DeleteObject(source);
  DeleteObject(target);
}

void CheckProcess() {
  // CE's form: path, arguments only, no start-up record. The child must still
  // see its own name first.
  WCHAR self[MAX_PATH];
  GetModuleFileNameW(NULL, self, MAX_PATH);
  WCHAR arguments[] = L"child hello";
  PROCESS_INFORMATION process = {};
  CHECK(CreateProcessW(self, arguments, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process));
  if (process.hProcess != NULL) {
    CHECK(WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0);
    DWORD code = 0;
    CHECK(GetExitCodeProcess(process.hProcess, &code) && code == 42);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
}

void CheckForeground() {
  HWND window = CreateWindowExW(0, L"STATIC", L"device check", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, NULL, NULL,
                                GetModuleHandleW(NULL), NULL);
  CHECK(window != NULL);
  CHECK(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1)));
  CHECK(SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
  CHECK((GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == 0);
  CHECK(!SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_SHOWTASKBAR));
  DestroyWindow(window);
  CHECK(!SHFullScreen(window, SHFS_HIDETASKBAR));
}

int closes = 0;

LRESULT CALLBACK FrameCheckProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ++closes;
  // The test monitor is smaller than the screen at 192 dpi; a real one is not.
  if (message == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = {8000, 8000};
  return DefWindowProcW(window, message, wParam, lParam);
}

void CheckFrame() {
  WNDCLASSW frameClass = {};
  frameClass.lpfnWndProc = FrameCheckProc;
  frameClass.lpszClassName = L"JostlepadFrameCheck";
  CHECK(RegisterClassW(&frameClass) != 0);
  for (int dpi : {96, 192}) {
    jpwin::SetMonitorDpi(dpi);
    // The program's own call: a top-level window, wherever Windows puts it.
    HWND window = CreateWindowExW(0, frameClass.lpszClassName, L"Jostlepad", WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, NULL, NULL);
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    CHECK((style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_POPUP)) ==
          (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    RECT client = {}, placed = {}, now = {}, area = {};
    GetClientRect(window, &client);
    printf("client area at %d dpi: %ld x %ld\n", dpi, client.right, client.bottom);
    CHECK(client.right == 480 * dpi / 96 && client.bottom == 640 * dpi / 96);
    // Full screen and the work area: the frame stays where the person dragged it.
    SetWindowPos(window, NULL, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(window, &placed);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    CHECK(SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
    CHECK(MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE));
    CHECK(MoveWindow(window, 0, area.top, area.right, area.bottom - area.top, TRUE));
    GetWindowRect(window, &now);
    CHECK(EqualRect(&now, &placed) && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);
    // The close box's command reaches the program's close.
    closes = 0;
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(closes == 1 && !IsWindow(window));
  }
  jpwin::SetMonitorDpi(0);
}

std::wstring opened;

void CheckBrowser() {
  jpwin::ShellOpen shell = jpwin::SetShellOpen([](LPCWSTR address) {
    opened = address;
    return true;
  });
  // The program's way: the browser under the phone's key, given the address alone.
  WCHAR entry[MAX_PATH] = L"";
  CHECK(RegistryGetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER", L"1", entry,
                          MAX_PATH) == S_OK);
  CHECK(wcscmp(entry, L"\"\\Windows\\iexplore.exe\" %1") == 0);
  const WCHAR* addresses[][2] = {
      {L"www.example.org/give?to=a:b", L"https://www.example.org/give?to=a:b"},
      {L"http://example.org/", L"http://example.org/"},
      {L"mailto:someone@example.org", L"mailto:someone@example.org"},
      {L"localhost:8080/x", L"https://localhost:8080/x"},  // a port, not a scheme
      {L"", L""},                                          // nothing to open
  };
  for (const auto& a : addresses) {
    opened.clear();
    WCHAR arguments[MAX_PATH];
    wcscpy(arguments, a[0]);
    PROCESS_INFORMATION process;
    memset(&process, 0x55, sizeof(process));
    CHECK(CreateProcessW(L"\\Windows\\iexplore.exe", arguments, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process) ==
          (a[1][0] != L'\0'));
    CHECK(opened == a[1] && process.hProcess == NULL);
  }
  jpwin::SetShellOpen(shell);
}

typedef HANDLE(WINAPI* OpenProc)(DWORD);
typedef DWORD(WINAPI* ReadProc)(HANDLE, void*);
typedef void(WINAPI* CloseProc)(HANDLE);

void CheckSensor(const std::wstring& stage) {
  HMODULE library = LoadLibraryW((stage + L"\\HTCSensorSDK.dll").c_str());
  CHECK(library != NULL);
  if (library == NULL) return;
  // Plain names on every architecture: the program looks them up so.
  OpenProc open = reinterpret_cast<OpenProc>(reinterpret_cast<void (*)()>(GetProcAddressW(library, L"HTCSensorOpen")));
  ReadProc read = reinterpret_cast<ReadProc>(
      reinterpret_cast<void (*)()>(GetProcAddressW(library, L"HTCSensorGetDataOutput")));
  CloseProc close =
      reinterpret_cast<CloseProc>(reinterpret_cast<void (*)()>(GetProcAddressW(library, L"HTCSensorClose")));
  CHECK(open != NULL && read != NULL && close != NULL);
  if (open == NULL || read == NULL || close == NULL) return;
  SHORT sample[10];
  memset(sample, 0x55, sizeof(sample));
  CHECK(read(NULL, sample) == 0 && sample[0] == 0 && sample[9] == 0);
  HANDLE sensor = open(1);
  CHECK(sensor != NULL);
  memset(sample, 0x55, sizeof(sample));
  CHECK(read(sensor, sample) == 1);
  CHECK(sample[0] == 0 && sample[1] == 0 && sample[2] == -1000 && sample[9] == 0);  // still, face up
  CHECK(read(sensor, NULL) == 0);
  close(sensor);
  FreeLibrary(library);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"child") == 0) {
    // Started through the CE form: the program's own name comes first.
    size_t length = wcslen(argv[0]);
    bool named = length > 4 && _wcsicmp(argv[0] + length - 4, L".exe") == 0;
    return named && wcscmp(argv[2], L"hello") == 0 ? 42 : 1;
  }
  if (argc != 3) {
    printf("usage: win32_device_tests STAGE_DIR CORPORA_DIR\n");
    return 100;
  }
  CheckRegistry();
  CheckNames();
  CheckScreen();
  CheckPictures(argv[1], argv[2]);
  CheckProcess();
  CheckForeground();
  CheckFrame();
  CheckBrowser();
  CheckSensor(argv[1]);
  printf("%d failed\n", failures);
  return failures;
}
