// A full paint of each page of the running program with the default skin:
// the control tree composed into the back buffer and the frame copied to the
// window's screen, as WM_PAINT does it, beside a plain 480 x 640 frame copy.
// The program runs on its own thread and is parked (virtual clock held) while
// this thread paints.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <string>

#include "app/AppState.h"
#include "app/WinMain.h"
#include "device/device.h"
#include "test_app_dir.h"
#include "test_files.h"
#include "ui/composite/ControlPanel.h"

namespace {

const int kWidth = 480;
const int kHeight = 640;

DWORD WINAPI RunProgram(LPVOID) {
  static WCHAR commandLine[] = L"";
  return static_cast<DWORD>(WinMain(GetModuleHandleW(NULL), NULL, commandLine, SW_SHOW));
}

// The staged program past its splash, animations off so each tap shows its page at once.
class Program {
 public:
  Program() {
    jptest::MakeDirs(temp_ / "device");
    jptest::TestSettings settings;
    const char* packs[] = {"Bells", "Drums", "Synth", "Bells", "Drums"};
    const char* files[] = {"Bell.wav", "Kick.wav", "Zap.wav", "Gong.wav", "Snare.wav"};
    for (int n = 0; n < 5; ++n) settings.slotFolder[n] = packs[n], settings.slotName[n] = files[n];
    settings.animationsOn = 0;
    jptest::WriteText(temp_ / "device/registry.reg", jptest::TestHive(settings));
    wce::DeviceConfig config;
    config.deviceDir = temp_ / "device";
    config.modulePath = std::string(JP_STAGE_DIR) + "/Jostlepad.exe";
    if (!wce::DeviceStart(config)) return;
    wce::ClockAdvanceTo(0);
    thread_ = CreateThread(NULL, 0, RunProgram, NULL, 0, NULL);
    wce::UnregisterProgramThread();  // this thread only drives the clock
    wce::InjectActivate(true);
    now_ = 2500;
    wce::ClockAdvanceTo(now_);
  }
  ~Program() {
    if (thread_ == NULL) return;
    wce::RequestClose();
    wce::ClockRelease();
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    ResetAppState();
    wce::DeviceStop();
  }
  bool Ready() const { return thread_ != NULL && !IsLoading() && appState.rootPanel != nullptr; }
  void Tap(int x, int y) {
    wce::InjectPen(wce::PenAction::Down, x, y);
    wce::InjectPen(wce::PenAction::Up, x, y);
    now_ += 100;
    wce::ClockAdvanceTo(now_);
  }

 private:
  jptest::TempDir temp_;
  HANDLE thread_ = NULL;
  uint64_t now_ = 0;
};

struct Tap {
  int x, y;
};
// From Home, the taps that reach each page.
const Tap kSoundsTab = {240, 586}, kSettingsTab = {400, 586}, kAbout = {402, 26}, kSlot1 = {200, 100};

void PaintPage(benchmark::State& state, std::initializer_list<Tap> taps) {
  Program program;
  if (!program.Ready()) return state.SkipWithError("the program did not start");
  for (Tap t : taps) program.Tap(t.x, t.y);
  HDC screen = GetDC(appState.mainWindow);
  for (auto _ : state) {
    appState.rootPanel->PaintIfVisible(appState.backDC);
    BitBlt(screen, 0, 0, kWidth, kHeight, appState.backDC, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  ReleaseDC(appState.mainWindow, screen);
}

void BM_PaintHome(benchmark::State& state) { PaintPage(state, {}); }
void BM_PaintSounds(benchmark::State& state) { PaintPage(state, {kSoundsTab}); }
void BM_PaintSettings(benchmark::State& state) { PaintPage(state, {kSettingsTab}); }
void BM_PaintAbout(benchmark::State& state) { PaintPage(state, {kSettingsTab, kAbout}); }
void BM_PaintBrowser(benchmark::State& state) { PaintPage(state, {kSoundsTab, kSlot1}); }

// The yardstick: one screen-sized copy between two screen-format buffers.
void BM_FrameCopy(benchmark::State& state) {
  jptest::TempDir temp;
  wce::DeviceConfig config;
  config.modulePath = temp / "Jostlepad.exe";
  if (!wce::DeviceStart(config)) return state.SkipWithError("no device");
  HDC screen = GetDC(NULL);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP fromBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  HBITMAP toBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  HGDIOBJ oldFrom = SelectObject(from, fromBitmap), oldTo = SelectObject(to, toBitmap);
  PatBlt(from, 0, 0, kWidth, kHeight, WHITENESS);
  for (auto _ : state) {
    BitBlt(to, 0, 0, kWidth, kHeight, from, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteObject(fromBitmap);
  DeleteObject(toBitmap);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(NULL, screen);
  wce::DeviceStop();
}

}  // namespace

BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintHome)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSounds)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSettings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintAbout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintBrowser)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
