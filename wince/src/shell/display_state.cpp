// The task bar, the input panel button and the display orientation, and the
// calls that change them: SHFullScreen, SystemParametersInfoW and
// ChangeDisplaySettingsEx.
#include "shell/display_state.h"

#include <aygshell.h>

#include <cstddef>
#include <mutex>

#include "device/device.h"
#include "gdi/screen.h"
#include "shell/bar_painter.h"
#include "shell/shell_internal.h"
#include "user/window_state.h"

namespace wce::shell {
namespace {

constexpr int kBarHeight = 26;   // task bar, at 96 dpi
constexpr int kSipButtonSide = 26;
constexpr DWORD kSupportedOrientations = DMDO_0 | DMDO_90 | DMDO_180 | DMDO_270;

struct DisplayState {
  std::mutex lock;
  bool taskbarShown = true;
  bool sipButtonShown = true;
  DWORD orientation = DMDO_0;
};

DisplayState& State() {
  static DisplayState state;
  return state;
}

// A length given at 96 dpi in device pixels, rounded as the shell rounds it.
int Scale(int length, int dpi) { return dpi > 0 ? (length * dpi + 48) / 96 : 0; }

// Where the bars sit, whether or not they show.
RECT TaskbarPlace() {
  ScreenSize screen = GetScreenSize();
  int height = Scale(kBarHeight, GetScreenDpiY());
  if (height > screen.height) height = screen.height;
  return RECT{0, 0, screen.width, height};
}

RECT SipButtonPlace() {
  ScreenSize screen = GetScreenSize();
  int width = Scale(kSipButtonSide, GetScreenDpiX());
  int height = Scale(kSipButtonSide, GetScreenDpiY());
  if (width > screen.width) width = screen.width;
  if (height > screen.height) height = screen.height;
  int left = (screen.width - width) / 2;
  return RECT{left, screen.height - height, left + width, screen.height};
}

struct Visibility {
  bool taskbar;
  bool sipButton;
};

Visibility Visible() {
  DisplayState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return {s.taskbarShown, s.sipButtonShown};
}

// What one SHFullScreen call asks for each bar: keep, show or hide.
enum class Want { Keep, Show, Hide };

bool WantOf(DWORD flags, DWORD show, DWORD hide, Want& want) {
  bool s = (flags & show) != 0;
  bool h = (flags & hide) != 0;
  if (s && h) return false;  // contradictory: refused rather than guessed
  want = s ? Want::Show : h ? Want::Hide : Want::Keep;
  return true;
}

// Applies a wish to one flag; tells whether it changed.
bool Apply(Want want, bool& shown) {
  if (want == Want::Keep) return false;
  bool next = want == Want::Show;
  if (next == shown) return false;
  shown = next;
  return true;
}

// A bar that went away leaves the desktop behind it until the windows under
// it repaint.
void Uncover(const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return;
  gdi::FillScreenRect(area, gdi::kDesktopRgb);
  user::InvalidateScreenArea(area);
}

bool IsOrientation(DWORD value) {
  return value == DMDO_0 || value == DMDO_90 || value == DMDO_180 || value == DMDO_270;
}

// Answers DM_DISPLAYQUERYORIENTATION and DM_DISPLAYORIENTATION; anything
// else about the display (size, depth, frequency) is fixed on this device.
LONG ChangeOrientation(DEVMODEW& mode, DWORD flags) {
  DWORD fields = mode.dmFields & (DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION);
  if (fields == (DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION)) return DISP_CHANGE_BADPARAM;
  bool test = (flags & CDS_TEST) != 0;
  if (fields == DM_DISPLAYQUERYORIENTATION) {
    if (!test) return DISP_CHANGE_BADFLAGS;
    mode.dmDisplayOrientation = kSupportedOrientations;
    return DISP_CHANGE_SUCCESSFUL;
  }
  if (fields != DM_DISPLAYORIENTATION) return DISP_CHANGE_BADMODE;
  DisplayState& s = State();
  if (test) {
    std::lock_guard<std::mutex> guard(s.lock);
    mode.dmDisplayOrientation = s.orientation;
    return DISP_CHANGE_SUCCESSFUL;
  }
  // Without CDS_TEST the request is a change (CDS_RESET forces it; plain 0
  // changes dynamically). Either way a value that is not one of the four
  // orientations is refused, which is what a restore of -1 meets.
  if (!IsOrientation(mode.dmDisplayOrientation)) return DISP_CHANGE_BADPARAM;
  bool changed = false;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    changed = s.orientation != mode.dmDisplayOrientation;
    s.orientation = mode.dmDisplayOrientation;
  }
  // The emulated screen keeps its pixels and size as they are: a rotation is
  // state the program can read back and a line in the trace, no more.
  if (changed) Trace("orientation " + std::to_string(mode.dmDisplayOrientation));
  return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace

RECT TaskbarRect() { return Visible().taskbar ? TaskbarPlace() : RECT{0, 0, 0, 0}; }

RECT SipButtonRect() { return Visible().sipButton ? SipButtonPlace() : RECT{0, 0, 0, 0}; }

RECT WorkArea() {
  // The system's work area leaves out the task bar whether a full-screen
  // program hides it or not; that is why such programs size their window to
  // the screen themselves.
  ScreenSize screen = GetScreenSize();
  return RECT{0, TaskbarPlace().bottom, screen.width, screen.height};
}

void DrawBars() {
  Visibility visible = Visible();
  if (!visible.taskbar && !visible.sipButton) return;
  RECT taskbar = TaskbarPlace();
  RECT sip = SipButtonPlace();
  gdi::DrawOnScreen([&](uint32_t* pixels, int width, int height) {
    BarPainter painter(pixels, width, height);
    if (visible.taskbar) painter.Taskbar(taskbar);
    if (visible.sipButton) painter.SipButton(sip);
  });
}

DWORD DisplayOrientation() {
  DisplayState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.orientation;
}

void DisplayReset() {
  DisplayState& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.taskbarShown = true;
    s.sipButtonShown = true;
    s.orientation = DMDO_0;
  }
  DrawBars();
}

}  // namespace wce::shell

using namespace wce::shell;

extern "C" {

BOOL WINAPI SHFullScreen(HWND hwndRequester, DWORD dwState) {
  if (!IsWindow(hwndRequester)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  // The start icon flags are accepted: this task bar has no start icon to hide.
  Want taskbar = Want::Keep;
  Want sip = Want::Keep;
  if (!WantOf(dwState, SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR, taskbar) ||
      !WantOf(dwState, SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON, sip)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DisplayState& s = State();
  bool taskbarChanged = false;
  bool sipChanged = false;
  Visibility now{};
  {
    std::lock_guard<std::mutex> guard(s.lock);
    taskbarChanged = Apply(taskbar, s.taskbarShown);
    sipChanged = Apply(sip, s.sipButtonShown);
    now = {s.taskbarShown, s.sipButtonShown};
  }
  if (taskbarChanged) wce::Trace(now.taskbar ? "fullscreen off" : "fullscreen on");
  if (taskbarChanged && !now.taskbar) Uncover(TaskbarPlace());
  if (sipChanged && !now.sipButton) Uncover(SipButtonPlace());
  if ((taskbarChanged && now.taskbar) || (sipChanged && now.sipButton)) DrawBars();
  return TRUE;
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT, PVOID pvParam, UINT) {
  if (uiAction != SPI_GETWORKAREA || pvParam == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *static_cast<RECT*>(pvParam) = WorkArea();
  return TRUE;
}

LONG WINAPI ChangeDisplaySettingsEx(LPCWSTR lpszDeviceName, LPDEVMODEW lpDevMode, HWND hwnd, DWORD dwflags,
                                    LPVOID lParam) {
  // One display, named by NULL; no video parameters.
  if (lpszDeviceName != nullptr || hwnd != nullptr || lParam != nullptr || lpDevMode == nullptr)
    return DISP_CHANGE_BADPARAM;
  // A record from an older header would end before the orientation field.
  if (lpDevMode->dmSize < sizeof(DEVMODEW)) return DISP_CHANGE_BADPARAM;
  return ChangeOrientation(*lpDevMode, dwflags);
}

}  // extern "C"
