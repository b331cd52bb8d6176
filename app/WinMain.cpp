#include "app/WinMain.h"

#include <new>

#include "app/AppState.h"
#include "app/Loader.h"
#include "app/MainWindow.h"
#include "app/PageTransition.h"
#include "app/ScreenLayout.h"
#include "ui/core/DisplayScale.h"

namespace {

const WCHAR kClassName[] = L"JostlepadClass";
const WCHAR kWindowTitle[] = L"Jostlepad";

// A second start only shows the first one. The low bit asks for the window's
// owned pop-ups to come forward with it.
bool RaiseRunningInstance() {
  HWND running = FindWindowW(kClassName, kWindowTitle);
  if (running == NULL) return false;
  SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(running) | 1));
  return true;
}

bool RegisterMainClass(HINSTANCE instance) {
  WNDCLASSW windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = appState.resources ? appState.resources->Icon() : NULL;
  windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = NULL;
  windowClass.lpszClassName = kClassName;
  return RegisterClassW(&windowClass) != 0;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void LoadResourceImages(HINSTANCE instance) {
  appState.resources.reset(new (std::nothrow) ResourceImages(instance));
  if (appState.resources) appState.resources->Load();
}

// The loader may still be inside a step when the window closes early; it
// stops at the next one, or leaves its splash hold at once, and the process
// ends only after that.
void WaitForLoader() {
  if (appState.loaderThread != NULL) {
    WaitForSingleObject(appState.loaderThread, INFINITE);
    CloseHandle(appState.loaderThread);
    appState.loaderThread = NULL;
  }
  if (appState.loaderStop != NULL) {
    CloseHandle(appState.loaderStop);
    appState.loaderStop = NULL;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) {
  appState.hInstance = hInstance;
  if (RaiseRunningInstance()) return 0;
  InitializeLoaderLock();
  LoadResourceImages(hInstance);
  if (!RegisterMainClass(hInstance)) return 0;
  appState.mainWindow = CreateWindowExW(0, kClassName, kWindowTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, hInstance, NULL);
  if (appState.mainWindow == NULL) return 0;
  CreateOffscreenBuffers(appState.mainWindow);
  // Manual reset: once the window is gone the loader never waits again.
  appState.loaderStop = CreateEventW(NULL, TRUE, FALSE, NULL);
  appState.loaderThread = CreateThread(NULL, 0, LoaderThread, NULL, 0, NULL);
  ShowWindow(appState.mainWindow, nCmdShow);
  UpdateWindow(appState.mainWindow);
  int exitCode = RunMessageLoop();
  WaitForLoader();
  return exitCode;
}

void ResetAppState() {
  EnterLoaderLock();
  // Users before what they borrow: players, slots (bank entries), detectors
  // (the sensor), the splash (a resource picture).
  appState.previewPlayer.reset();
  appState.soundSlots.reset();
  appState.soundBank.reset();
  appState.motionZ.reset();
  appState.motionY.reset();
  appState.motionX.reset();
  appState.tiltSensor.reset();
  appState.keepAwake.reset();
  appState.transition.reset();
  appState.splash.reset();
  appState.skin.reset();
  appState.resources.reset();
  appState.settings.reset();
  ReleaseOffscreenBuffers();
  DeleteControls();
  if (appState.loaderStop != NULL) CloseHandle(appState.loaderStop);
  if (appState.loaderThread != NULL) CloseHandle(appState.loaderThread);
  appState = AppState();
  savedOrientation = -1;
  // A program started again may find another screen.
  ResetScreenDpi();
  LeaveLoaderLock();
}
